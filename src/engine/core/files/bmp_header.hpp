// What a picture file must be before it is decoded: its BMP header read and compared with the
// picture the program expects, so that a small file claiming a giant picture is refused unread.
#pragma once

#include <string>
#include <string_view>

namespace korvan {

struct BmpShape {
    int width = 0;
    int height = 0;
    bool alpha = false; // 32 bits per pixel required; otherwise 24 or 32
};

// "" when the file's header describes exactly such a picture, with pixels the file holds in full;
// otherwise what is wrong, in German. Accepts the BITMAPINFOHEADER family (40 to 124 bytes),
// uncompressed or with bit fields, rows bottom-up or top-down.
std::string bmpHeaderProblem(std::string_view file, BmpShape expected);

} // namespace korvan
