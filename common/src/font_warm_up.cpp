#include "common/font_warm_up.hpp"

#include <fontconfig/fontconfig.h>

namespace common {

FontWarmUp::FontWarmUp() {
    // FcInit loads the default configuration and the font caches once per
    // process; the toolkit's font database later finds them loaded.
    thread_ = std::thread([] { (void)FcInit(); });
}

FontWarmUp::~FontWarmUp() {
    wait();
}

void FontWarmUp::wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

} // namespace common
