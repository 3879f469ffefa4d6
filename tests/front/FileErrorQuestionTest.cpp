#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "front/FileErrorQuestion.h"
#include "front/SystemErrorText.h"
#include "shared/MessageTable.h"

using hovrak::DecisionFromAnswer;
using hovrak::MakeFileErrorQuestion;
using R = TFileOperationResult;

namespace {

std::string Expected(TMsg row, const std::string& path) {
  return std::string(MessageTable(row)) + "\n" + MessageTable(TMsg::SkipThisFile) + "\n\n" + path;
}

}  // namespace

TEST(FileErrorQuestionTest, TextByFailureRunAndCharCode) {
  const std::string path = "/w/日本語.txt";
  EXPECT_EQ(MakeFileErrorQuestion(path, R::OpenFailed, false, TCharCode::Auto).Text, Expected(TMsg::CannotOpen, path));
  EXPECT_EQ(MakeFileErrorQuestion(path, R::OpenFailed, true, TCharCode::Auto).Text,
            Expected(TMsg::CannotWriteReadOnly, path));
  EXPECT_EQ(MakeFileErrorQuestion(path, R::BinaryFile, true, TCharCode::SJIS).Text, Expected(TMsg::BinaryFile, path));
  EXPECT_EQ(MakeFileErrorQuestion(path, R::CharCodeMismatch, true, TCharCode::Auto).Text,
            Expected(TMsg::CharCodeUnknown, path));
  EXPECT_EQ(MakeFileErrorQuestion(path, R::CharCodeMismatch, true, TCharCode::SJIS).Text,
            Expected(TMsg::CharCodeMismatchSjis, path));
  EXPECT_EQ(MakeFileErrorQuestion(path, R::CharCodeMismatch, true, TCharCode::EUC).Text,
            Expected(TMsg::CharCodeMismatch, path));
  EXPECT_EQ(MakeFileErrorQuestion(path, R::CharCodeMismatch, true, TCharCode::UTF8N).Text,
            Expected(TMsg::CharCodeMismatch, path));
  EXPECT_EQ(MakeFileErrorQuestion(path, R::ModifiedSinceSearch, true, TCharCode::Auto).Text,
            Expected(TMsg::ModifiedSinceSearch, path));
  // No text of its own: the question and the path only.
  EXPECT_EQ(MakeFileErrorQuestion(path, R::TooLarge, true, TCharCode::Auto).Text,
            "\n" + std::string(MessageTable(TMsg::SkipThisFile)) + "\n\n" + path);
}

TEST(FileErrorQuestionTest, TheSystemsReasonFollowsTheFailureAndReplacesAWrongGuess) {
  const std::string path = "/w/a.txt";
  const std::string question = std::string("\n") + MessageTable(TMsg::SkipThisFile) + "\n\n" + path;
  // Denied: the read-only guess stands, the reason follows it.
  EXPECT_EQ(MakeFileErrorQuestion(path, R::OpenFailed, true, TCharCode::Auto, EACCES).Text,
            std::string(MessageTable(TMsg::CannotWriteReadOnly)) + "\n（" + hovrak::SystemErrorText(EACCES) + "）" +
                question);
  // Out of space has nothing to do with read-only: only the first line is kept.
  const std::string full = MakeFileErrorQuestion(path, R::OpenFailed, true, TCharCode::Auto, ENOSPC).Text;
  EXPECT_EQ(full, "以下のファイルに書き込めません。\n（" + hovrak::SystemErrorText(ENOSPC) + "）" + question);
  EXPECT_EQ(hovrak::FileFailureText(R::OpenFailed, true, TCharCode::Auto, ENOSPC), "以下のファイルに書き込めません。");
  EXPECT_EQ(MakeFileErrorQuestion(path, R::OpenFailed, false, TCharCode::Auto, ENOENT).Text,
            std::string(MessageTable(TMsg::CannotOpen)) + "\n（" + hovrak::SystemErrorText(ENOENT) + "）" + question);
}

TEST(FileErrorQuestionTest, OnlyAFileWithItsTextCanBeForced) {
  EXPECT_FALSE(MakeFileErrorQuestion("a", R::OpenFailed, false, TCharCode::Auto).Forcible);
  EXPECT_FALSE(MakeFileErrorQuestion("a", R::OpenFailed, true, TCharCode::Auto).Forcible);
  EXPECT_FALSE(MakeFileErrorQuestion("a", R::TooLarge, true, TCharCode::Auto).Forcible);
  EXPECT_TRUE(MakeFileErrorQuestion("a", R::BinaryFile, true, TCharCode::Auto).Forcible);
  EXPECT_TRUE(MakeFileErrorQuestion("a", R::CharCodeMismatch, true, TCharCode::Auto).Forcible);
  EXPECT_TRUE(MakeFileErrorQuestion("a", R::ModifiedSinceSearch, true, TCharCode::Auto).Forcible);
}

TEST(FileErrorQuestionTest, AnswersBecomeDecisions) {
  EXPECT_EQ(DecisionFromAnswer(hovrak::FileErrorAbort), TDecision::Abort);
  EXPECT_EQ(DecisionFromAnswer(hovrak::FileErrorRetry), TDecision::Retry);
  EXPECT_EQ(DecisionFromAnswer(hovrak::FileErrorSkip), TDecision::Skip);
  EXPECT_EQ(DecisionFromAnswer(hovrak::FileErrorForce), TDecision::Force);
  EXPECT_EQ(DecisionFromAnswer(hovrak::FileErrorSkipAll), TDecision::Skip);
  // The dialog closed some other way.
  EXPECT_EQ(DecisionFromAnswer(0), TDecision::Abort);
  EXPECT_EQ(DecisionFromAnswer(2), TDecision::Abort);
  EXPECT_EQ(DecisionFromAnswer(-1), TDecision::Abort);
}

TEST(FileErrorQuestionTest, RestoreQuestionsOfferForceButForAFailedWrite) {
  using P = TRestoreProblem;
  const std::string path = "/w/資料/a.txt";
  const struct {
    P Problem;
    TMsg Row;
  } cases[] = {{P::Modified, TMsg::RestoreModified},
               {P::NotRecorded, TMsg::RestoreNotRecorded},
               {P::Missing, TMsg::RestoreMissing},
               {P::FolderMissing, TMsg::RestoreFolderMissing}};
  for (const auto& c : cases) {
    const hovrak::TFileErrorQuestion q = hovrak::MakeRestoreQuestion(path, c.Problem, 0);
    EXPECT_EQ(q.Text, Expected(c.Row, path)) << static_cast<int>(c.Row);
    EXPECT_TRUE(q.Forcible) << static_cast<int>(c.Row);
  }
  // A failed write names the system's reason and can only be retried.
  const hovrak::TFileErrorQuestion write = hovrak::MakeRestoreQuestion(path, P::WriteFailed, EACCES);
  EXPECT_EQ(write.Text, std::string(MessageTable(TMsg::RestoreWriteFailed)) + "\n" + hovrak::SystemErrorText(EACCES) +
                            "\n" + MessageTable(TMsg::SkipThisFile) + "\n\n" + path);
  EXPECT_FALSE(write.Forcible);
}

TEST(FileErrorQuestionTest, SystemReasonsAreJapaneseWithTheSystemsTextAsFallback) {
  EXPECT_EQ(hovrak::SystemErrorText(EACCES), "アクセスが拒否されました");
  EXPECT_EQ(hovrak::SystemErrorText(ENOSPC), "ディスクに空きがありません");
  EXPECT_EQ(hovrak::SystemErrorText(0), "");
  // A value without a text of its own still says something a user can report.
  EXPECT_EQ(hovrak::SystemErrorText(ECHRNG), "システムエラー " + std::to_string(ECHRNG) + ": " + std::strerror(ECHRNG));
}
