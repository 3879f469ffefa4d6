#include "text/FileBase.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileDescriptor.h"

namespace {

// Each read asks for at most this much.
constexpr std::size_t kReadBufferSize = std::size_t(1) << 20;

}  // namespace

template <class C>
TFileOperationResult TFileBase<C>::ReadRawBytes(const std::string& path, std::int32_t maxSize, std::string& bytes,
                                                hovrak::TFileIdentity* identity, int* error) {
  bytes.clear();
  int ignored;
  int& err = error ? *error : ignored;
  err = 0;
  // Refuse special files before opening them: opening a FIFO for reading blocks.
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    err = errno;
    return TFileOperationResult::OpenFailed;
  }
  if (!S_ISREG(st.st_mode)) {
    err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return TFileOperationResult::OpenFailed;
  }
  // Non-blocking, in case the name was swapped for a FIFO in between.
  hovrak::TFileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.Get() < 0) {
    err = errno;
    return TFileOperationResult::OpenFailed;
  }
  if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    err = EINVAL;
    return TFileOperationResult::OpenFailed;
  }
  if (identity) *identity = hovrak::TFileIdentity::FromStat(st);

  // The size of a regular file is its end. Pseudo files (/proc) report no size: their
  // size shows only by reading, where the limit is kept as well.
  const off_t size = st.st_size > 0 ? st.st_size : 0;
  if (size > maxSize) return TFileOperationResult::TooLarge;

  // Read into the string itself until end of file. One spare byte lets the read that
  // sees end of file go without growing; a file that grows past maxSize while being
  // read is TooLarge all the same.
  const std::size_t limit = maxSize < 0 ? 0 : static_cast<std::size_t>(maxSize);
  bytes.resize(static_cast<std::size_t>(size) + 1);
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) {
      if (used > limit) {
        bytes.clear();
        return TFileOperationResult::TooLarge;
      }
      bytes.resize(std::min(used + kReadBufferSize, limit + 1));
    }
    const ssize_t n = ::read(fd.Get(), &bytes[used], std::min(bytes.size() - used, kReadBufferSize));
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      bytes.clear();
      return TFileOperationResult::OpenFailed;
    }
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
  }
  if (used > limit) {
    bytes.clear();
    return TFileOperationResult::TooLarge;
  }
  bytes.resize(used);
  return TFileOperationResult::Success;
}

template <class C>
TNewLineKind TFileBase<C>::FindNewLineKind(const TText& text) {
  static const C kBreaks[] = {C('\r'), C('\n')};
  const std::size_t first = text.find_first_of(kBreaks, 0, 2);
  if (first == TText::npos || text[first] == C('\n')) return TNewLineKind::Lf;
  if (first + 1 < text.size() && text[first + 1] == C('\n')) return TNewLineKind::CrLf;
  return TNewLineKind::Cr;
}

template <class C>
TNewLineKind TFileBase<C>::NormalizeNewLines(TText& text) {
  static const C kBreaks[] = {C('\r'), C('\n')};
  const std::size_t first = text.find_first_of(kBreaks, 0, 2);
  if (first == TText::npos || text[first] == C('\n')) return TNewLineKind::Lf;
  if (first + 1 < text.size() && text[first + 1] == C('\n')) {
    // Every CR goes: the runs between them move down in place, found and moved with
    // the library's block search and move rather than unit by unit.
    using TTraits = typename TText::traits_type;
    C* const data = &text[0];
    const std::size_t size = text.size();
    std::size_t out = first;
    for (std::size_t in = first + 1; in < size;) {
      const C* const cr = TTraits::find(data + in, size - in, C('\r'));
      const std::size_t stop = cr ? static_cast<std::size_t>(cr - data) : size;
      TTraits::move(data + out, data + in, stop - in);
      out += stop - in;
      in = stop + 1;
    }
    text.resize(out);
    return TNewLineKind::CrLf;
  }
  std::replace(text.begin() + first, text.end(), C('\r'), C('\n'));
  return TNewLineKind::Cr;
}

template <class C>
const typename TFileBase<C>::TText& TFileBase<C>::RestoreNewLines(const TText& text, TNewLineKind kind, TText& buffer) {
  switch (kind) {
    case TNewLineKind::Lf: return text;
    case TNewLineKind::Cr:
      buffer = text;
      std::replace(buffer.begin(), buffer.end(), C('\n'), C('\r'));
      return buffer;
    case TNewLineKind::CrLf:
    default: {
      const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), C('\n')));
      buffer.clear();
      buffer.reserve(text.size() + lines);
      std::size_t start = 0;
      for (std::size_t lf; (lf = text.find(C('\n'), start)) != TText::npos; start = lf + 1) {
        buffer.append(text, start, lf - start);
        buffer.push_back(C('\r'));
        buffer.push_back(C('\n'));
      }
      buffer.append(text, start, TText::npos);
      return buffer;
    }
  }
}

template <class C>
std::size_t TFileBase<C>::MaxSaveSize = 2147483647;

template class TFileBase<char>;
template class TFileBase<wchar_t>;
