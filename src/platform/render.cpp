#include "platform/render.h"

namespace platform {

void Renderer::text(std::string_view bytes, std::string &out) {
    for (unsigned char b : bytes) {
        if (b == '\n' || b == '\r') {
            out += static_cast<char>(b);
            column_ = 0;
            continue;
        }
        bool printable = b >= 32 && b != 127;
        if (width_ > 0 && printable && column_ >= width_) {
            out += '\n'; // the terminal adds its carriage return, as for any line end
            column_ = 0;
        }
        if (charset_)
            out += charset_->show(b);
        else
            out += static_cast<char>(b);
        if (printable)
            ++column_;
        else if (b == '\t')
            column_ = column_ / 8 * 8 + 8;
        else if (b == '\b' && column_ > 0)
            --column_;
    }
}

} // namespace platform
