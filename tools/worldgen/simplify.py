"""Douglas-Peucker simplification of polylines with a caller-supplied chord test.

>>> import numpy as np
>>> line = np.array([[0.0, 0.0], [1.0, 0.01], [2.0, 0.0]])
>>> douglas_peucker(line, lambda i, j, worst: worst <= 0.1).tolist()
[[0.0, 0.0], [2.0, 0.0]]
"""

import numpy as np

__all__ = ["douglas_peucker"]


def douglas_peucker(points, chord_ok):
    """Keep both ends, and split every chord that ``chord_ok(i, j, worst)`` refuses.

    ``worst`` is the largest distance of the points strictly between ``i`` and ``j`` from
    the chord (from point ``i`` when the chord has length 0); the split happens at that point.
    Returns the kept points in order.
    """
    points = np.asarray(points, dtype=np.float64)
    keep = np.zeros(len(points), dtype=bool)
    keep[0] = keep[-1] = True
    stack = [(0, len(points) - 1)]
    while stack:
        i, j = stack.pop()
        if j <= i + 1:
            continue
        a, b = points[i], points[j]
        seg = points[i + 1 : j]
        ab = b - a
        length = np.hypot(*ab)
        if length == 0:
            dist = np.hypot(*(seg - a).T)
        else:
            dist = np.abs(ab[0] * (seg[:, 1] - a[1]) - ab[1] * (seg[:, 0] - a[0])) / length
        k = int(np.argmax(dist))
        if chord_ok(i, j, dist[k]):
            continue
        keep[i + 1 + k] = True
        stack.append((i, i + 1 + k))
        stack.append((i + 1 + k, j))
    return points[keep]
