#include "core/MirunApp.h"

#include "backup/Backup.h"
#include "pattern/CharTyped.h"
#include "pattern/CreateReplacingPattern.h"
#include "pattern/CreateSearchedPattern.h"
#include "pattern/InvalidSearchedPattern.h"
#include "place/PlaceList.h"
#include "platform/AnsiCodePage.h"
#include "settings/Option.h"
#include "shared/StoppedException.h"

namespace {

std::string ToUtf8(std::string text) { return text; }
std::string ToUtf8(const std::wstring& text) { return hovrak::WideToAnsi(text); }

}  // namespace

TMirunApp::TMirunApp() : Option(std::make_unique<TOption>()), Backup(std::make_unique<TBackup>()) {}

TMirunApp::~TMirunApp() = default;

void TMirunApp::ListFiles(const TStringVector& paths, const TStringVector& filters) {
  auto fileSet = std::make_unique<TFileSet>();
  fileSet->Backup = Backup.get();
  fileSet->OnProcess = OnProcess;
  fileSet->OnFileError = OnFileError;
  fileSet->OnSkipped = OnSkipped;
  fileSet->OnFileRead = OnFileRead;
  fileSet->CharCode = Option->CharCode;
  fileSet->CheckCharCode = Option->CheckCharCode;
  fileSet->CheckTime = Option->CheckTime;
  fileSet->MaxFileSize = Option->MaxFileSize;
  fileSet->Threads = Option->Threads;
  // The old places belong to the old file set: they go with it, so a replace can
  // never pair them with the new file list and its time stamps.
  PlaceList.reset();
  FileSet = std::move(fileSet);

  if (paths.empty() || TFileSet::GetPathKind(paths.front()) != 2) FileSet->SetFiles(paths);
  else FileSet->AddFolder(paths.front(), filters, Option->SubDir);
}

int TMirunApp::Detect(const TStringVector& paths, const TStringVector& filters) {
  try {
    ListFiles(paths, filters);
    return FileSet->Detect() == TFileSetOutcome::NoFiles ? SearchNoTargetFiles : SearchCompleted;
  } catch (const EStoppedException&) {
    return SearchStopped;
  }
}

int TMirunApp::Search(const TStringVector& paths, const TStringVector& filters, const std::string& text) {
  try {
    ListFiles(paths, filters);
    if (FileSet->Files.empty()) return SearchNoTargetFiles;

    const bool wide = FileSet->CharCode != TCharCode::ASCII;
    if (wide) PlaceList = std::make_unique<TPlaceList<wchar_t>>();
    else PlaceList = std::make_unique<TPlaceList<char>>();
    PlaceList->KeepPlaces = KeepPlaces;
    PlaceList->OnAdd = [this](TAbstractPlace* place) {
      if (OnPlaceAdded) OnPlaceAdded(place);
    };

    TSearchInfo info;
    info.IsWide = wide;
    info.Text = text;
    info.Mode = static_cast<std::uint8_t>(Option->Mode);
    info.CaseSensitive = Option->CaseSensitive;
    info.Escape = Option->Escape;
    info.ByLine = Option->ByLine;
    info.ShowLine = Option->ShowLine;
    const auto pattern = CreateSearchedPattern(info);
    FileSet->PatternMaker = [info] { return CreateSearchedPattern(info); };
    FileSet->Search(*pattern, *PlaceList);
    return SearchCompleted;
  } catch (const EStoppedException&) {
    return SearchStopped;
  } catch (const EInvalidSearchedPattern&) {
    return SearchInvalidPattern;
  }
}

std::unique_ptr<TAbstractReplacingPattern> TMirunApp::MakeReplacingPattern(const std::string& replacement) const {
  TReplaceInfo info;
  info.IsWide = IsWide();
  info.Text = replacement;
  info.Mode = static_cast<std::uint8_t>(Option->Mode);
  info.Escape = Option->Escape;
  return CreateReplacingPattern(info);
}

bool TMirunApp::IsWide() const { return (FileSet ? FileSet->CharCode : Option->CharCode) != TCharCode::ASCII; }

int TMirunApp::Replace(const std::string& replacement) {
  if (!FileSet || !PlaceList) return ReplaceCompleted;
  try {
    const auto pattern = MakeReplacingPattern(replacement);
    FileSet->OnBackupFailed = OnBackupFailed;
    if (FileSet->Replace(*pattern, *PlaceList, Option->Backup) == TFileSetOutcome::BackupIncomplete)
      return ReplaceBackupFailed;
    return ReplaceCompleted;
  } catch (const EStoppedException&) {
    return ReplaceStopped;
  }
}

int TMirunApp::PreviewReplace(const std::string& replacement, const TTextChangeEvent& onChange) {
  if (!FileSet || !PlaceList) return ReplaceCompleted;
  try {
    const auto pattern = MakeReplacingPattern(replacement);
    FileSet->Replace(*pattern, *PlaceList, false, &onChange);
    return ReplaceCompleted;
  } catch (const EStoppedException&) {
    return ReplaceStopped;
  }
}

std::string TMirunApp::PreviewReplacement(int index, const std::string& replacement) const {
  return PreviewReplacements({index}, replacement).front();
}

std::vector<std::string> TMirunApp::PreviewReplacements(const std::vector<int>& indices,
                                                        const std::string& replacement) const {
  std::vector<std::string> texts(indices.size());
  if (!PlaceList || indices.empty()) return texts;
  const auto pattern = MakeReplacingPattern(replacement);
  WithCharType(IsWide(), *pattern, [&](const auto& typed) {
    for (std::size_t k = 0; k < indices.size(); ++k) {
      const int index = indices[k];
      if (index < 0 || index >= PlaceList->Count()) continue;
      texts[k] = ToUtf8(typed.GetReplacement(*PlaceList, index));
    }
  });
  return texts;
}
