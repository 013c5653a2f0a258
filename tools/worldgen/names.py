"""Display names in the character set every loader and the bitmap font accept.

German umlauts become ae, oe, ue and ss; other accents are dropped; characters
outside letters, digits, blank, hyphen and full stop are removed or become blanks.

>>> ascii_name("Österreich")
'Oesterreich'
>>> ascii_name("Bhutan (nordwestliche Täler)")
'Bhutan - nordwestliche Taeler'
>>> ascii_name("Côte d'Ivoire")
'Cote dIvoire'
"""

import re
import unicodedata

__all__ = ["ascii_name", "MAX_NAME"]

MAX_NAME = 80

_GERMAN = {
    "ä": "ae", "ö": "oe", "ü": "ue", "Ä": "Ae", "Ö": "Oe", "Ü": "Ue", "ß": "ss",
    "æ": "ae", "Æ": "Ae", "œ": "oe", "Œ": "Oe", "ø": "o", "Ø": "O", "ð": "d", "Ð": "D",
    "þ": "th", "Þ": "Th", "ł": "l", "Ł": "L", "ı": "i", "đ": "d", "Đ": "D",
}
_DROP = "'’‘`´ʻʼ\""
_DASH = "()[]/–—‐‑"  # parentheses, slashes and dashes read as a separating hyphen
_ALLOWED = re.compile(r"[^A-Za-z0-9 .\-|]")


def ascii_name(text, limit=MAX_NAME):
    """ASCII display name of a (German) name, or '' when nothing is left."""
    if text is None:
        return ""
    out = []
    for ch in str(text):
        if ch in _GERMAN:
            out.append(_GERMAN[ch])
        elif ch in _DROP:
            continue
        elif ch in _DASH:
            out.append(" | ")
        elif ch in "&+":
            out.append(" und ")
        elif ch in ",;:":
            out.append(" ")
        else:
            decomposed = unicodedata.normalize("NFKD", ch)
            out.append("".join(c for c in decomposed if not unicodedata.combining(c)))
    name = _ALLOWED.sub(" ", "".join(out))
    name = re.sub(r"[\s|-]*\|[\s|-]*", " - ", name)
    name = re.sub(r"\s+", " ", name).strip(" -")
    if len(name) > limit:
        name = name[:limit].rstrip(" -.")
    return name
