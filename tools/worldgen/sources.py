"""Readers for the raw geodata: xz-compressed GeoJSON, the ETOPO5 netCDF and the MODIS PNG."""

import io
import json
import lzma
from pathlib import Path

import numpy as np

__all__ = ["SourceError", "Geodata"]


class SourceError(RuntimeError):
    """A source file is missing or does not have the expected shape."""


class Geodata:
    """Access to the files of a geodata directory (see MANIFEST.md there)."""

    def __init__(self, root):
        self.root = Path(root)
        if not (self.root / "natural_earth").is_dir():
            raise SourceError(f"{self.root}: no natural_earth directory")
        self._cache = {}

    def layer(self, name):
        """Features of natural_earth/<name>.geojson.xz (cached)."""
        if name not in self._cache:
            path = self.root / "natural_earth" / f"{name}.geojson.xz"
            if not path.is_file():
                raise SourceError(f"missing layer {path}")
            with lzma.open(path, "rt", encoding="utf-8") as handle:
                self._cache[name] = json.load(handle)["features"]
        return self._cache[name]

    def elevation(self):
        """ETOPO5 relief in metres as float32, shape (2161, 4320), row 0 = 90 N, column 0 = 0 E."""
        from scipy.io import netcdf_file

        path = self.root / "elevation" / "etopo5.cdf.xz"
        if not path.is_file():
            raise SourceError(f"missing elevation {path}")
        data = lzma.open(path).read()
        with netcdf_file(io.BytesIO(data), mmap=False) as nc:
            rose = np.array(nc.variables["ROSE"].data, dtype=np.float32)
            lat = np.array(nc.variables["ETOPO05_Y"].data)
        if rose.shape != (2161, 4320):
            raise SourceError(f"{path}: unexpected shape {rose.shape}")
        if lat[0] > lat[-1]:
            return rose
        return rose[::-1].copy()

    def landcover(self):
        """MODIS IGBP classes 0..16 as uint8, shape (3600, 7200), row 0 = 90 N, column 0 = 180 W."""
        from PIL import Image

        path = self.root / "landcover" / "mcd12c1_2019_igbp_0p05deg.png"
        if not path.is_file():
            raise SourceError(f"missing land cover {path}")
        classes = np.array(Image.open(path))
        if classes.shape != (3600, 7200) or classes.max() > 16:
            raise SourceError(f"{path}: unexpected raster {classes.shape}")
        return classes
