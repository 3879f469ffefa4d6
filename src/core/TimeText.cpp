#include "core/TimeText.h"

namespace hovrak {

std::string TimeText(const boost::posix_time::ptime&) { return std::string(); }

}  // namespace hovrak
