// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/ErrorText.h"

#include <cerrno>

namespace vashtem {

QString errorReason(int error)
{
    switch (error) {
    case EACCES: return QStringLiteral("アクセスが拒否されました。");
    case EPERM: return QStringLiteral("この操作は許可されていません。");
    case EROFS: return QStringLiteral("読み取り専用のファイルシステムです。");
    case ENOENT: return QStringLiteral("ファイルまたはフォルダが見つかりません。");
    case ENOTDIR: return QStringLiteral("フォルダではありません。");
    case EISDIR: return QStringLiteral("ファイルではなくフォルダです。");
    case EBUSY: return QStringLiteral("デバイスまたはリソースが使用中です。");
    case EIO: return QStringLiteral("入出力エラーが発生しました。");
    case ELOOP: return QStringLiteral("シンボリックリンクをたどる回数が多すぎます。");
    case ENAMETOOLONG: return QStringLiteral("ファイル名またはパスが長すぎます。");
    case EMFILE: return QStringLiteral("このプログラムが開いているファイルが多すぎます。");
    case ENFILE: return QStringLiteral("システム全体で開いているファイルが多すぎます。");
    case ENOMEM: return QStringLiteral("メモリが足りません。");
    case ETXTBSY: return QStringLiteral("実行中のプログラムのファイルです。");
    case ENXIO: return QStringLiteral("デバイスが接続されていないか、見つかりません。");
    case ENODEV: return QStringLiteral("デバイスがありません。");
    case ENOMEDIUM: return QStringLiteral("ドライブにメディアが入っていません。");
    case ESTALE: return QStringLiteral("ネットワーク上のファイルの参照が古くなっています。");
    case ETIMEDOUT: return QStringLiteral("応答がないまま時間切れになりました。");
    case ENOTCONN: return QStringLiteral("ファイルシステムとの接続が切れています。");
    case ENOSPC: return QStringLiteral("デバイスに空き領域がありません。");
    case EDQUOT: return QStringLiteral("ディスク使用量の上限を超えています。");
    case EEXIST: return QStringLiteral("同じ名前のものが既にあります。");
    case ENOTEMPTY: return QStringLiteral("フォルダが空ではありません。");
    case EXDEV: return QStringLiteral("別のファイルシステムにあります。");
    case EINVAL: return QStringLiteral("引数が正しくありません。");
    case EFAULT: return QStringLiteral("不正なアドレスが渡されました。");
    case EBADF: return QStringLiteral("ファイル記述子が正しくありません。");
    case ECANCELED: return QStringLiteral("操作が取り消されました。");
    case EINTR: return QStringLiteral("操作が割り込みで中断されました。");
    case EAGAIN: return QStringLiteral("リソースが一時的に利用できません。");
    case EOVERFLOW: return QStringLiteral("値が大きすぎて扱えません。");
    case EOPNOTSUPP: return QStringLiteral("このファイルシステムではできない操作です。");
    case ENOSYS: return QStringLiteral("このシステムではできない操作です。");
    case EUCLEAN: return QStringLiteral("ファイルシステムが壊れていて、修復が必要です。");
    default: return QStringLiteral("不明なエラーです (エラー番号 %1)。").arg(error);
    }
}

} // namespace vashtem
