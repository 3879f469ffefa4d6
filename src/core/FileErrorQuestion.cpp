#include "core/FileErrorQuestion.h"

namespace hovrak {

TFileErrorQuestion MakeFileErrorQuestion(const std::string& path, TFileOperationResult, bool, TCharCode) {
  TFileErrorQuestion q;
  q.Text = path;
  return q;
}

TDecision DecisionFromAnswer(int) { return TDecision::Abort; }

}  // namespace hovrak
