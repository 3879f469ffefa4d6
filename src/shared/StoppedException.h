#pragma once
// Carries a user stop (or an Abort decision) out of a search or replace run.

#include <stdexcept>

#include "shared/MessageTable.h"

class EStoppedException : public std::runtime_error {
 public:
  EStoppedException() : std::runtime_error(MessageTable(TMsg::Stopped)) {}
};
