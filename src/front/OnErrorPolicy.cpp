#include "front/OnErrorPolicy.h"

namespace hovrak {

TDecision OnErrorDecision(TOnErrorPolicy policy, bool forcible) {
  switch (policy) {
    case TOnErrorPolicy::Abort: return TDecision::Abort;
    case TOnErrorPolicy::Force: return forcible ? TDecision::Force : TDecision::Skip;
    case TOnErrorPolicy::Skip: break;
  }
  return TDecision::Skip;
}

}  // namespace hovrak
