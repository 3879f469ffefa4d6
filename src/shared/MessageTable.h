#pragma once
// The fixed user-visible texts of the program (UTF-8), addressed by named row. A row's
// number never changes once given: new rows go at the end.

// The rows of the message table. Rows marked %s / %d are filled in by MessageText.
enum class TMsg : int {
  // The main window.
  MainTitle = 0,
  MenuTools = 1,
  MenuOptions = 2,
  MenuSaveResults = 3,
  MenuHelp = 4,
  MenuHelpContents = 5,
  MenuAbout = 6,
  TargetLabel = 7,
  FileMaskLabel = 8,
  SearchedLabel = 9,
  Browse = 10,
  ModeNormal = 11,
  ModeWord = 12,
  ModeRegex = 13,
  SubFolders = 14,
  SearchButton = 15,
  OptionsButton = 16,
  FolderButton = 17,
  FileButton = 18,
  EditSearchedTitle = 19,
  ChooseFolderTitle = 20,
  // The result window; the four column headers follow one another.
  ResultTitle = 21,
  ColumnReplace = 22,
  ColumnPlace = 23,
  ColumnFile = 24,
  ColumnLine = 25,
  ReplacementLabel = 26,
  PreviewButton = 27,
  ReplaceButton = 28,
  CheckAll = 29,
  UncheckAll = 30,
  EditReplacementTitle = 31,
  LineFeedMark = 32,
  MenuViewFile = 33,
  MenuExternalEditor = 34,
  MenuCopyPath = 35,
  // Ends of a search, and the stages of a run.
  SearchStopped = 36,
  InvalidSearched = 37,
  NoTargetFiles = 38,
  ErrorOccurred = 39,
  NotFound = 40,
  SearchCompleted = 41,
  Listing = 42,
  BackingUp = 43,
  Searching = 44,
  Replacing = 45,
  // A file that failed a check during a run.
  CannotWriteReadOnly = 46,
  CannotOpen = 47,
  CharCodeUnknown = 48,
  CharCodeMismatchSjis = 49,
  CharCodeMismatch = 50,
  BinaryFile = 51,
  ModifiedSinceSearch = 52,
  SkipThisFile = 53,
  NoTargetGiven = 54,
  OneFolderOnly = 55,
  UnexpectedError = 56,
  PleaseReportError = 57,
  NoEditorSet = 58,
  EditorNotFound = 59,
  EditorFailed = 60,
  ReplaceQuestion = 61,  // %s searched, %s replacement
  ReplaceStopped = 62,
  ReplaceCompleted = 63,
  FoundCount = 64,  // %d
  // The options window.
  OptionTitle = 65,
  TabSearchReplace = 66,
  TabBackup = 67,
  SearchModeLabel = 68,
  ByLine = 69,
  MatchCase = 70,
  UseEscapes = 71,
  ShowLineNumbers = 72,
  CharCodeLabel = 73,
  CharCodeAuto = 74,
  CheckCharCode = 75,
  CheckTimestamp = 76,
  MaxFileSizeLabel = 77,
  EditorLabel = 78,
  EditorOnDoubleClick = 79,
  MakeBackup = 80,
  BackupMaxSizeLabel = 81,
  BackupDeletableDays = 82,
  BackupDeleteNotice = 83,
  BackupFolderLabel = 84,
  // Saving the results, and the CSV headers.
  CopyResultTitle = 85,
  CopyResultDescription = 86,
  CsvFileName = 87,
  CsvLine = 88,
  CsvHit = 89,
  CsvAround = 90,
  CsvAroundEach = 91,
  CsvAroundChars = 92,
  SaveButton = 93,
  CopyButton = 94,
  CsvBefore = 95,
  CsvAfter = 96,
  // The file view's menus.
  MenuFile = 97,
  MenuSave = 98,
  MenuEdit = 99,
  MenuUndo = 100,
  MenuCut = 101,
  MenuCopy = 102,
  MenuPaste = 103,
  MenuFormat = 104,
  MenuWordWrap = 105,
  AboutTitle = 106,
  AboutNotice = 107,
  Ok = 108,
  Cancel = 109,
  MultiLineInput = 110,
  SaveFailed = 111,
  // The undo of a replace.
  MenuUndoReplace = 112,
  RestoreTitle = 113,
  RestoreDescription = 114,
  RestoreColumnTime = 115,
  RestoreColumnBaseDir = 116,
  RestoreColumnFiles = 117,
  RestoreColumnSize = 118,
  RestoreColumnRestored = 119,
  RestoreButton = 120,
  NoUnitToRestore = 121,
  RestoredBefore = 122,  // %s the time of the earlier undo
  RestoreModified = 123,
  RestoreNotRecorded = 124,
  RestoreMissing = 125,
  RestoreFolderMissing = 126,
  RestoreWriteFailed = 127,
  ForceRestore = 128,
  Checking = 129,
  WritingBack = 130,
  RestoreCompleted = 131,
  RestoreStopped = 132,
  RestoredCount = 133,     // %d
  UnchangedCount = 134,    // %d
  SkippedCount = 135,      // %d
  NotRestoredCount = 136,  // %d
  CopyMissing = 137,
  BaseUnsafe = 138,
  UnitSaved = 139,  // %s the unit's name
  RestoreRecordFailed = 140,
  RestoreWithoutBackup = 141,
  MoreCount = 142,  // %d
  UnitVanished = 143,
  RestoreLink = 144,
  RestoreLinkedFolder = 145,
  CopyDamaged = 146,
  FolderIsLink = 147,
  OldUnitQuestion = 148,     // %s the original folder
  OldUnitBaseRefused = 149,  // %s the original folder
  OldUnitDeclined = 150,
  SaveRecovered = 151,
  SaveNotRecovered = 152,
  // A stopped run, a missing target, the size question before a backup.
  Stopped = 153,
  TargetNotFound = 154,
  BackupSizeTotal = 155,  // %s the size
  BackupGoingOn = 156,
  BackupPruneCount = 157,  // %d
  BackupPruneLost = 158,
  BackupQuestion = 159,
  BackupPruned = 160,  // %d
  // The summary of a replace.
  SkipModified = 161,
  SkipBinary = 162,
  SkipCharCode = 163,
  SkipChosen = 164,
  FailTooLarge = 165,
  FailReadWrite = 166,
  RescueKept = 167,  // %s the rescue copy
  NothingWrittenNoBackup = 168,
  StatusWritten = 169,     // %d files, %d places
  StatusSkipped = 170,     // %d
  StatusFailed = 171,      // %d
  StatusPruned = 172,      // %d
  WrittenCount = 173,      // %d files, %d places
  NotWrittenCount = 174,   // %d
  NotBackedUpCount = 175,  // %d
  NoBackupMade = 176,
  // The file view.
  ViewHasCrMark = 177,
  ViewEditorCannotHold = 178,
  ViewNotUtf8 = 179,
  ViewNotReversible = 180,
  ViewMixedLineEnds = 181,
  ViewReadFailed = 182,
  ViewSaveQuestion = 183,       // %s the file
  ViewSaveQuestionFound = 184,  // %s the file
  ViewSavedNoReplace = 185,
  ViewSaveFailed = 186,
  // The smaller windows.
  PruneQuestion = 187,
  ChooseBackupFolder = 188,
  UnknownException = 189,
  MultiLineOptionQuestion = 190,
  Preparing = 191,
  // The main window's questions and messages.
  OldSettingsNotRead = 192,
  HelpNotFound = 193,  // %s the path looked for
  NoSearchText = 194,
  SearchSkippedNote = 195,  // %d
  GoOnWithoutBackupQuestion = 196,
  BackupIncomplete = 197,
  IndexNotWritten = 198,
  // The command line's summaries.
  DryRunStopped = 199,
  DryRunCompleted = 200,
  DryRunCounts = 201,    // %d files that would change, %d skipped
  ReplaceCounts = 202,   // %d written, %d skipped
  UnitPrunedLine = 203,  // %s the unit, %s its time
  RestoreStoppedCli = 204,
  RestoreCompletedCli = 205,
  RestoreCounts = 206,  // %d written back, %d unchanged, %d skipped
  // The option dialog's number of search threads.
  SearchThreadsLabel = 207,
  SearchThreadsNote = 208,
};

constexpr int MessageTableSize = 209;

// The text of a row.
const char* MessageTable(TMsg row);
// The text of a row by number, for a row computed as a number; "" outside the table.
const char* MessageTable(int row);
