#include "front/ProcessRow.h"

namespace hovrak {

TMsg ProcessRow(TProcessType kind) {
  switch (kind) {
    case TProcessType::Listing: return TMsg::Listing;
    case TProcessType::Searching: return TMsg::Searching;
    case TProcessType::BackingUp: return TMsg::BackingUp;
    case TProcessType::Replacing: return TMsg::Replacing;
  }
  return TMsg::Searching;
}

TMsg RestoreProcessRow(TProcessType kind) {
  switch (kind) {
    case TProcessType::BackingUp: return TMsg::BackingUp;
    case TProcessType::Replacing: return TMsg::WritingBack;
    default: return TMsg::Checking;
  }
}

}  // namespace hovrak
