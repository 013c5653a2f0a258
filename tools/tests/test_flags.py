"""Flag codes, the atlas layout of the flag loader and rasterising one SVG flag."""

import io
import shutil
import tarfile

import numpy as np
import pytest

from worldgen import flags


@pytest.mark.parametrize("props,code", [
    ({"ISO_A2": "AT", "ISO_A2_EH": "AT"}, "at"),
    ({"ISO_A2": "-99", "ISO_A2_EH": "FR"}, "fr"),  # France and Norway carry -99 in ISO_A2
    ({"ISO_A2": "CN-TW", "ISO_A2_EH": "TW"}, "tw"),
    ({"ISO_A2": "-99", "ISO_A2_EH": "-99"}, None),  # Somaliland, sovereign base areas
    ({"ISO_A2": "ZZ"}, None),
])
def test_flag_codes(props, code):
    assert flags.flag_code(props, {"at", "fr", "tw"}) == code


@pytest.mark.parametrize("count,size", [(1, (512, 24)), (16, (512, 24)), (17, (512, 48)),
                                        (245, (512, 384))])
def test_atlas_size_is_the_loaders_rule(count, size):
    assert flags.atlas_size(count) == size


def test_flag_i_sits_at_column_i_mod_16_and_row_i_div_16():
    images = [np.full((24, 32, 4), i, dtype=np.uint8) for i in range(18)]
    atlas = flags.flag_atlas(images)
    assert atlas.shape == (48, 512, 4)
    assert atlas[24 + 5, 32 + 7, 0] == 17 and atlas[10, 15 * 32 + 3, 0] == 15
    assert atlas[30, 2 * 32 + 1, 3] == 0  # unused cells stay transparent


def test_package_with_another_checksum_is_refused(tmp_path):
    path = tmp_path / "flag-icons.tgz"
    buffer = io.BytesIO()
    with tarfile.open(fileobj=buffer, mode="w:gz") as archive:
        data = b"<svg/>"
        info = tarfile.TarInfo("package/flags/4x3/at.svg")
        info.size = len(data)
        archive.addfile(info, io.BytesIO(data))
    path.write_bytes(buffer.getvalue())
    with pytest.raises(flags.FlagError, match="SHA-256"):
        flags.read_package(path)


@pytest.mark.skipif(shutil.which("rsvg-convert") is None, reason="rsvg-convert not installed")
def test_rasterise_a_tricolour():
    svg = (b'<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 640 480">'
           b'<path fill="#c8102e" d="M0 0h640v480H0z"/><path fill="#fff" d="M0 170h640v140H0z"/></svg>')
    flag = flags.rasterise(svg)
    assert flag.shape == (24, 32, 4) and (flag[..., 3] == 255).all()
    assert tuple(flag[2, 16, :3]) == (200, 16, 46) and tuple(flag[12, 16, :3]) == (255, 255, 255)
    assert 200 < flag[8, 16, 0] < 255 and 16 < flag[8, 16, 1] < 255  # the edge row is averaged
