#include <gtest/gtest.h>

#include "front/FileErrorQuestion.h"
#include "front/OnErrorPolicy.h"

using hovrak::OnErrorDecision;
using hovrak::TOnErrorPolicy;
using R = TFileOperationResult;

TEST(OnErrorPolicyTest, ForceOnlyWhereTheFailureCanBeForced) {
  EXPECT_EQ(OnErrorDecision(TOnErrorPolicy::Skip, true), TDecision::Skip);
  EXPECT_EQ(OnErrorDecision(TOnErrorPolicy::Force, true), TDecision::Force);
  EXPECT_EQ(OnErrorDecision(TOnErrorPolicy::Force, false), TDecision::Skip);
  EXPECT_EQ(OnErrorDecision(TOnErrorPolicy::Abort, false), TDecision::Abort);
}

TEST(OnErrorPolicyTest, TheCommandLineForcesWhatTheWindowsOfferToForce) {
  for (const R result : {R::OpenFailed, R::BinaryFile, R::CharCodeMismatch, R::ModifiedSinceSearch, R::TooLarge}) {
    const bool offered = hovrak::MakeFileErrorQuestion("/w/a.txt", result, true, TCharCode::Auto).Forcible;
    EXPECT_EQ(hovrak::IsForcibleFailure(result), offered) << result;
    EXPECT_EQ(OnErrorDecision(TOnErrorPolicy::Force, hovrak::IsForcibleFailure(result)),
              offered ? TDecision::Force : TDecision::Skip)
        << result;
  }
}
