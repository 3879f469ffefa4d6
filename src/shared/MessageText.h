#pragma once
// A row of the message table with its %s / %d marks filled in, in order.

#include <string>

#include <boost/format.hpp>

#include "shared/MessageTable.h"

template <typename... Args>
std::string MessageText(TMsg row, const Args&... args) {
  boost::format text(MessageTable(row));
  if constexpr (sizeof...(args) > 0) (text % ... % args);
  return text.str();
}
