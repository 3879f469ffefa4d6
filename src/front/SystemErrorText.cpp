#include "front/SystemErrorText.h"

#include <cerrno>
#include <cstring>

namespace hovrak {

namespace {

const char* JapaneseReason(int error) {
  switch (error) {
    case EACCES: return "アクセスが拒否されました";
    case EPERM: return "この操作は許可されていません";
    case ENOENT: return "ファイルまたはフォルダーがありません";
    case ENOTDIR: return "フォルダーではありません";
    case EISDIR: return "フォルダーです";
    case EEXIST: return "同じ名前がすでにあります";
    case ENOTEMPTY: return "フォルダーが空ではありません";
    case EROFS: return "読み取り専用のファイルシステムです";
    case ENOSPC: return "ディスクに空きがありません";
    case EDQUOT: return "ディスクの使用量の上限を超えました";
    case EFBIG: return "ファイルが大きすぎます";
    case ENAMETOOLONG: return "名前が長すぎます";
    case ELOOP: return "シンボリックリンクが多すぎます";
    case EBUSY: return "使用中です";
    case ETXTBSY: return "実行中のファイルです";
    case EAGAIN: return "一時的に使用できません";
    case EINTR: return "中断されました";
    case EIO: return "入出力エラーです";
    case ENOMEM: return "メモリが足りません";
    case EMFILE:
    case ENFILE: return "開いているファイルが多すぎます";
    case EXDEV: return "別のファイルシステムへは移動できません";
    case ESTALE: return "ファイルが置き換えられました";
    case EINVAL: return "引数が正しくありません";
    case ENXIO:
    case ENODEV: return "デバイスがありません";
    case ETIMEDOUT: return "時間切れになりました";
    case EHOSTUNREACH:
    case ENETUNREACH: return "ネットワークに接続できません";
    case ENOTCONN: return "接続されていません";
    case EOPNOTSUPP: return "この操作には対応していません";
    case EMLINK: return "リンクが多すぎます";
    default: return nullptr;
  }
}

}  // namespace

std::string SystemErrorText(int error) {
  if (error == 0) return std::string();
  if (const char* text = JapaneseReason(error)) return text;
  return std::string("システムエラー ") + std::to_string(error) + ": " + std::strerror(error);
}

}  // namespace hovrak
