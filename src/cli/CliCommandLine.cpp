#include "cli/CliCommandLine.h"

#include "front/ArgParser.h"
#include "front/PathListText.h"
#include "front/ShortSwitches.h"
#include "settings/Option.h"

namespace {

// Letters of the short switches; n (start the search at once) only matters to the
// desktop program and is accepted without effect.
const std::string kValueLetters = TShortSwitches::ValueOptions;
const std::string kFlagLetters = "rRlLiIeEcCbBn";
constexpr int kMaxSizeLimitMB = 2047;  // MaxFileSize is a signed 32-bit byte count

enum class TValueKind { None, Required, EqualsOnly };

struct TLongOption {
  const char* Name;
  TValueKind Kind;
};

constexpr TLongOption kLongOptions[] = {
    {"replace", TValueKind::Required},  {"on-error", TValueKind::Required},
    {"csv", TValueKind::EqualsOnly},    {"settings", TValueKind::Required},
    {"line-numbers", TValueKind::None}, {"no-line-numbers", TValueKind::None},
    {"max-size", TValueKind::Required}, {"threads", TValueKind::Required},
    {"quiet", TValueKind::None},        {"help", TValueKind::None},
    {"version", TValueKind::None},      {"on-backup-error", TValueKind::Required},
    {"list-backups", TValueKind::None}, {"restore", TValueKind::Required},
    {"dry-run", TValueKind::None},      {"context", TValueKind::Required},
    {"color", TValueKind::Required},    {"json", TValueKind::None},
    {"exclude", TValueKind::Required},  {"no-vcs-skip", TValueKind::None},
    {"count", TValueKind::None},        {"files-with-matches", TValueKind::None},
    {"detect", TValueKind::None},       {"restore-old-unit", TValueKind::None},
    {"base", TValueKind::Required},
};

// Folders of version control systems, left out of a folder search unless asked.
constexpr const char* kVcsFolders[] = {".git", ".svn", ".hg"};

bool ParseCount(const std::string& text, long long limit, long long& value) {
  if (text.empty() || text.size() > 9) return false;
  value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return value <= limit;
}

}  // namespace

TCliCommandLine::TCliCommandLine(const std::vector<std::string>& args) {
  bool contextGiven = false;
  std::vector<std::string> shortArgs;
  TStringVector afterOptions;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      afterOptions.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
      break;
    }
    if (arg.compare(0, 2, "--") != 0) {
      shortArgs.push_back(arg);
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    std::optional<std::string> value;
    if (equals != std::string::npos) value = arg.substr(equals + 1);
    const TLongOption* option = nullptr;
    for (const TLongOption& candidate : kLongOptions) {
      if (name == candidate.Name) option = &candidate;
    }
    if (!option) {
      Fail("unknown option '--" + name + "'");
      return;
    }
    if (option->Kind == TValueKind::None && value) {
      Fail("option '--" + name + "' takes no value");
      return;
    }
    if (option->Kind == TValueKind::Required && !value) {
      if (i + 1 >= args.size()) {
        Fail("option '--" + name + "' needs a value");
        return;
      }
      value = args[++i];
    }
    if (name == "context") contextGiven = true;
    if (!ParseLong(name, value)) return;
  }
  if (!ParseShort(shortArgs)) return;
  Targets.insert(Targets.end(), afterOptions.begin(), afterOptions.end());
  if (!CheckCombinations(contextGiven)) return;
  if (ListBackups || RestoreUnit) {
    const char* const which = ListBackups ? "--list-backups" : "--restore";
    if (ListBackups && RestoreUnit) Fail("'--list-backups' and '--restore' cannot be given together");
    else if (!Targets.empty() || SearchText || Replacement)
      Fail(std::string("'") + which + "' takes no targets, search string or replacement");
  }
  if ((RestoreOldUnit || AllowedBase) && !RestoreUnit)
    Fail(std::string("'") + (RestoreOldUnit ? "--restore-old-unit" : "--base") + "' is only for '--restore'");
}

bool TCliCommandLine::CheckCombinations(bool contextGiven) {
  std::vector<std::string> formats;
  if (Csv) formats.push_back("--csv");
  if (Json) formats.push_back("--json");
  if (Count) formats.push_back("--count");
  if (FilesWithMatches) formats.push_back("--files-with-matches");
  if (formats.size() > 1) return Fail("'" + formats[0] + "' and '" + formats[1] + "' cannot be given together");
  if (DryRun && !Replacement) return Fail("'--dry-run' shows what '--replace' would change: give '--replace TEXT' too");
  if (DryRun && !formats.empty())
    return Fail("'--dry-run' prints a diff and cannot be given with '" + formats[0] + "'");
  if (contextGiven && !DryRun) return Fail("'--context' sets the lines around each change of '--dry-run'");
  if (Detect) {
    if (SearchText || Replacement || DryRun || !formats.empty())
      return Fail("'--detect' takes no search string, replacement or output format");
    if (ListBackups || RestoreUnit) return Fail("'--detect' cannot be given with '--list-backups' or '--restore'");
  }
  return true;
}

TStringVector TCliCommandLine::FilterTokens() const {
  TStringVector tokens = hovrak::SplitFilterText(Filters.value_or("*"));
  for (const std::string& glob : Excludes) tokens.push_back("!" + glob);
  if (!NoVcsSkip)
    for (const char* folder : kVcsFolders) tokens.push_back(std::string("!") + folder + "/");
  return tokens;
}

bool TCliCommandLine::Fail(const std::string& message) {
  if (error_.empty()) error_ = message;
  return false;
}

bool TCliCommandLine::ParseLong(const std::string& name, const std::optional<std::string>& value) {
  if (name == "replace") {
    Replacement = *value;
  } else if (name == "on-error") {
    if (*value == "skip") OnError = TOnError::Skip;
    else if (*value == "force") OnError = TOnError::Force;
    else if (*value == "abort") OnError = TOnError::Abort;
    else return Fail("option '--on-error' takes skip, force or abort, not '" + *value + "'");
  } else if (name == "on-backup-error") {
    if (*value == "stop") GoOnWithoutBackup = false;
    else if (*value == "continue") GoOnWithoutBackup = true;
    else return Fail("option '--on-backup-error' takes stop or continue, not '" + *value + "'");
  } else if (name == "csv") {
    Csv = true;
    if (value) return ParseCsvColumns(*value);
  } else if (name == "settings") {
    if (value->empty()) return Fail("option '--settings' needs a file name");
    SettingsPath = *value;
  } else if (name == "line-numbers") {
    ShowLine = true;
  } else if (name == "no-line-numbers") {
    ShowLine = false;
  } else if (name == "max-size") {
    long long mb = 0;
    if (!ParseCount(*value, kMaxSizeLimitMB, mb))
      return Fail("option '--max-size' takes a whole number of MB from 0 to " + std::to_string(kMaxSizeLimitMB) +
                  ", not '" + *value + "'");
    MaxFileSize = static_cast<std::int32_t>(mb * 1048576);
  } else if (name == "threads") {
    long long threads = 0;
    if (!ParseCount(*value, TOption::kMaxThreads, threads))
      return Fail("option '--threads' takes a whole number from 0 (one per processor) to " +
                  std::to_string(TOption::kMaxThreads) + ", not '" + *value + "'");
    Threads = static_cast<std::int32_t>(threads);
  } else if (name == "list-backups") {
    ListBackups = true;
  } else if (name == "restore") {
    if (value->empty()) return Fail("option '--restore' needs the name of a backup unit (see --list-backups)");
    RestoreUnit = *value;
  } else if (name == "dry-run") {
    DryRun = true;
  } else if (name == "context") {
    long long lines = 0;
    if (!ParseCount(*value, 1000000, lines))
      return Fail("option '--context' takes a whole number of lines, not '" + *value + "'");
    DiffContext = static_cast<int>(lines);
  } else if (name == "color") {
    if (*value == "auto") Color = TColors::TChoice::Auto;
    else if (*value == "always") Color = TColors::TChoice::Always;
    else if (*value == "never") Color = TColors::TChoice::Never;
    else return Fail("option '--color' takes auto, always or never, not '" + *value + "'");
  } else if (name == "json") {
    Json = true;
  } else if (name == "exclude") {
    if (value->empty()) return Fail("option '--exclude' needs a wildcard, e.g. '*.bak' or 'old/'");
    Excludes.push_back(*value);
  } else if (name == "no-vcs-skip") {
    NoVcsSkip = true;
  } else if (name == "count") {
    Count = true;
  } else if (name == "files-with-matches") {
    FilesWithMatches = true;
  } else if (name == "detect") {
    Detect = true;
  } else if (name == "restore-old-unit") {
    RestoreOldUnit = true;
  } else if (name == "base") {
    if (value->empty() || (*value)[0] != '/')
      return Fail("option '--base' needs an absolute folder, not '" + *value + "'");
    AllowedBase = *value;
  } else if (name == "quiet") {
    Quiet = true;
  } else if (name == "help") {
    Help = true;
  } else if (name == "version") {
    Version = true;
  }
  return true;
}

bool TCliCommandLine::ParseCsvColumns(const std::string& columns) {
  CsvFile = CsvLine = CsvHit = CsvAround = false;
  std::size_t pos = 0;
  while (pos <= columns.size() && !columns.empty()) {
    std::size_t comma = columns.find(',', pos);
    if (comma == std::string::npos) comma = columns.size();
    const std::string column = columns.substr(pos, comma - pos);
    pos = comma + 1;
    if (column == "file") {
      CsvFile = true;
    } else if (column == "line") {
      CsvLine = true;
    } else if (column == "hit") {
      CsvHit = true;
    } else if (column.compare(0, 6, "around") == 0 && (column.size() == 6 || column[6] == ':')) {
      CsvAround = true;
      if (column.size() > 6) {
        long long n = 0;
        if (!ParseCount(column.substr(7), 1000000, n))
          return Fail("'" + column + "' in '--csv': the count after 'around:' must be a whole number");
        CsvAroundLength = static_cast<int>(n);
      }
    } else {
      return Fail("unknown column '" + column + "' in '--csv' (use file, line, hit, around[:N])");
    }
  }
  return true;
}

bool TCliCommandLine::ParseShort(const std::vector<std::string>& args) {
  // The parser gives a value option at the very end an empty value; here that is a
  // missing value. Follows the parser's rule: a pending option stays pending until
  // a plain argument fills it.
  char pending = 0;
  for (const std::string& arg : args) {
    if (arg.empty() || arg[0] != '-') {
      pending = 0;
      continue;
    }
    if (arg.size() == 1) return Fail("'-' alone is neither a switch nor a target (use './-' for a file named '-')");
    for (std::size_t i = 1; i < arg.size(); ++i) {
      const char c = arg[i];
      if (kValueLetters.find(c) != std::string::npos) {
        if (i + 1 == arg.size()) pending = c;
        break;
      }
      if (kFlagLetters.find(c) == std::string::npos) return Fail(std::string("unknown switch '-") + c + "'");
    }
  }
  if (pending) return Fail(std::string("switch '-") + pending + "' needs a value");

  const hovrak::arg_parser parser(args, kValueLetters, '-');
  std::string valueError;
  const TShortSwitches switches = TShortSwitches::Read(parser, &valueError);
  if (!valueError.empty()) return Fail(valueError);
  static_cast<TShortSwitches&>(*this) = switches;
  return true;
}

void TCliCommandLine::ApplyTo(TOption& option) const {
  TShortSwitches::ApplyTo(option);
  if (ShowLine) option.ShowLine = *ShowLine;
  if (MaxFileSize) option.MaxFileSize = *MaxFileSize;
  if (Threads) option.Threads = *Threads;
}

std::string TCliCommandLine::Usage() {
  return R"(usage: mirun-cli [SWITCHES] [LONG OPTIONS] [--] TARGET...
       mirun-cli --replace TEXT --dry-run [SWITCHES] [--] TARGET...
       mirun-cli --detect [SWITCHES] [--] TARGET...
       mirun-cli --list-backups [--settings FILE]
       mirun-cli --restore UNIT [--on-error skip|force|abort] [--restore-old-unit]
                 [--base DIR] [--settings FILE]

Searches (and with --replace, replaces) text in files of any Japanese character
code. TARGETs are files, or exactly one folder searched with the filters.

Switches:
  -s TEXT      search string (also -sTEXT; a string starting with '-': -s-TEXT)
  -f FILTERS   file-name filters for a folder, e.g. "*.txt *.htm" (default *);
               a filter starting with '!' leaves out what it matches:
               "*.txt !*.bak.txt !old/" (a trailing '/' for folders only)
  -m n|w|r     normal, word or regular-expression search
  -r / -R      search subfolders / do not
  -l / -L      search line by line / the whole text
  -i / -I      ignore case / match case
  -e / -E      expand \n, \t and other escapes / do not
  -c / -C      check the character code before replacing / do not
  -b / -B      back files up before replacing / do not
  -K CODE      character code: a (detect), s (Shift-JIS), w (UTF-16), n (ASCII,
               bytes as they are), e (EUC-JP), j (JIS), u (UTF-8 BOM), un (UTF-8)
Long options:
  --replace TEXT              replace every place found by TEXT
  --dry-run                   with --replace: write nothing and back nothing up,
                              but print what each file would become as a unified
                              diff (decoded to UTF-8; "# CODE, LINE ENDS" heads
                              each file); exit 0 when a file would change, 1 when
                              none would
  --context N                 unchanged lines around each change of the diff (3)
  --on-error skip|force|abort what to do with a file that fails a check (skip)
  --on-backup-error stop|continue
                              when a backup copy cannot be made: rewrite nothing
                              (stop, the default) or go on without that copy
  --exclude GLOB              leave out files and folders matching GLOB (again
                              for more); 'NAME/' only folders; a GLOB with a '/'
                              inside is matched with the path below the folder
  --no-vcs-skip               search the folders .git, .svn and .hg too (a
                              folder search leaves them out)
  --color auto|always|never   colour paths, line and column numbers and hits,
                              and the diff (auto: on a terminal, unless NO_COLOR
                              is set)
  --csv[=COLUMNS]             CSV instead of PATH:LINE:COLUMN:TEXT lines; COLUMNS
                              from file,line,hit,around[:N] (default file,line)
  --json                      one JSON object per line as ripgrep's --json
                              writes them (begin, match, end, summary), with
                              each file's "encoding" and "line_end"; offsets in
                              UTF-8 bytes
  --count                     PATH:N, the number of places of each file with any
  --files-with-matches        only the names of the files with places
  --detect                    search nothing: print the character code and line
                              ends (LF, CR LF, CR, mixed or none) of each file,
                              PATH<TAB>CODE<TAB>LINE ENDS, with the filters, -r
                              and -K of a search
  --list-backups              list the backup units, newest first: name, time,
                              base folder, files, size (and when restored), one
                              per line, tab-separated, with tabs, line feeds and
                              other control characters in names shown as \t, \n,
                              \xHH and a backslash as \\
  --restore UNIT              undo the replace that made UNIT: put its copies
                              back; files changed, deleted or without a record
                              since are handled by --on-error (force writes them),
                              and the files overwritten are backed up first into
                              a new unit, which --restore undoes in turn; a link
                              in the file's place is replaced, never written
                              through, and a copy damaged since is not written
  --restore-old-unit          let a forced restore write the copies of a unit
                              made by an older version, which holds no record of
                              the files as its replace left them
  --base DIR                  such a unit whose base folder is / or lies outside
                              the home folder writes there only when DIR names it
  --settings FILE             settings file (default: Mirun.kel in the settings folder)
  --line-numbers, --no-line-numbers
  --max-size MB               leave out files of more than MB megabytes
  --threads N                 read and search files on N threads (0: one per
                              processor); the output is the same for every N
  --quiet                     no progress and no summary
  --help, --version
Options not given come from the settings file; when it cannot be read, a search
runs with the default options (a replace with backup and a restore refuse).
Exit status: 0 places found, replace or restore done, or (--dry-run) a file
would change; 1 nothing found (nothing would change); 2 error (also a file that
could not be read or written, a backup that could not be made, or a copy missing
or damaged in the unit restored), 130 stopped by Ctrl-C (a second Ctrl-C ends at
once), 141 the output was closed.
)";
}
