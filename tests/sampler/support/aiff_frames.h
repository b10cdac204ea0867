// Reading back AIFF files that the library exported.
#pragma once

#include <string>

namespace korvel_test {

// The frame count of a finished AIFF file (every frame its "COMM" names is in its "SSND"), else -1.
long long whole_aiff_frames(const std::string& path);

}  // namespace korvel_test
