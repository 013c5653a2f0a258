"""Data pipeline that turns open geodata into the world data files of Korvan."""
