#pragma once
// The system's reason for a failure (an errno value) in Japanese, as the windows show it
// beside a file-error message. The C library's own texts are English under the program's
// UTF-8 locale.

#include <string>

namespace hovrak {

// "アクセスが拒否されました" for EACCES; a value without a Japanese text gives the system's
// text with its number, "" for 0.
std::string SystemErrorText(int error);

}  // namespace hovrak
