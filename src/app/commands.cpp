// The command table data, the main menu layout and the enabling rules.
#include "app/commands.h"

#include "files/inifile.h"

#include <algorithm>
#include <array>

namespace orvane {
namespace {

using R = TCommandRule;

#define BOOKMARK_PUT(n) {"actBookmarkPut" #n, "", "しおり &" #n, "Shift+Ctrl+" #n, R::Always, false, "", "", n}
#define BOOKMARK(n) {"actBookmark" #n, "", "しおり &" #n, "Ctrl+" #n, R::Always, false, "", "", n}

// clang-format off
constexpr std::array<TCommandDef, kCommandCount> kCommands = {{
    BOOKMARK_PUT(0), BOOKMARK_PUT(1), BOOKMARK_PUT(2), BOOKMARK_PUT(3), BOOKMARK_PUT(4),
    BOOKMARK_PUT(5), BOOKMARK_PUT(6), BOOKMARK_PUT(7), BOOKMARK_PUT(8), BOOKMARK_PUT(9),
    {"actUndo", "編集", "元に戻す(&U)", "Ctrl+Z", R::CanUndo, true, "元に戻す|あわてずにやり直しですぅ！", "edit-undo", -1},
    BOOKMARK(0), BOOKMARK(1), BOOKMARK(2), BOOKMARK(3), BOOKMARK(4), BOOKMARK(5), BOOKMARK(6), BOOKMARK(7),
    {"actRedo", "編集", "やり直し(&R)", "Shift+Ctrl+Z", R::CanRedo, true, "やり直し|元に戻すのやり直しですぅ。よくわかんないですぅ。", "edit-redo", -1},
    {"actCut", "編集", "切り取り(&T)", "Ctrl+X", R::Selected, true, "切り取り|選択範囲を切りとっちゃうのですぅ。", "edit-cut", -1},
    {"actCopy", "編集", "コピー(&C)", "Ctrl+C", R::Selected, false, "コピー|選択範囲をクリップボードにコピーですぅ。", "edit-copy", -1},
    {"actAddCut", "編集", "追加切り取り(&W)", "Shift+Ctrl+X", R::Selected, true, "追加切り取り|クリップボードの内容を維持したまま切り取りですぅ。", "", -1},
    {"actNew", "ファイル", "新規作成(&N)", "Ctrl+N", R::Always, false, "新規作成|新しいテキストを作成します", "document-new", -1},
    {"actAddCopy", "編集", "追加コピー(&A)", "Shift+Ctrl+C", R::Selected, false, "追加コピー|選択範囲をクリップボードに追加ですぅ。", "", -1},
    {"actQuoteCopy", "編集", "引用符付きコピー(&Q)", "Ctrl+Alt+C", R::Selected, false, "引用符付きコピー|選択範囲に引用符をつけてコピーですぅ。", "", -1},
    {"actPaste", "編集", "貼り付け(&P)", "Ctrl+V", R::Clipboard, true, "張り付け|クリップボードからテキストを持ってきますぅ。", "edit-paste", -1},
    {"actClone", "ファイル", "複製(&C)", "", R::Document, false, "複製|編集中のファイルと同じ内容で新規作成します", "", -1},
    {"actOpen", "ファイル", "開く(&O)...", "Ctrl+O", R::Always, false, "開く|既存のテキストを開きます", "document-open", -1},
    {"actOpenToCaret", "ファイル", "カーソル位置への読み込み(&I)...", "", R::Document, true, "カーソル位置への読み込み|カーソル位置にテキストを読み込んで挿入します", "", -1},
    {"actSave", "ファイル", "上書き保存(&S)", "Ctrl+S", R::Document, false, "上書き保存|このテキストを上書き保存します", "document-save", -1},
    {"actSaveAs", "ファイル", "名前を付けて保存(&A)...", "Shift+Ctrl+S", R::Document, false, "名前を付けて保存|このテキストに名前を付けて保存します", "document-save-as", -1},
    {"actSaveAll", "ファイル", "すべて保存(&V)", "", R::Always, false, "すべて保存|編集中のすべてのファイルを上書き保存します", "", -1},
    {"actClose", "ファイル", "閉じる(&C)", "Ctrl+F4", R::Document, false, "閉じる|編集中のファイルを閉じます（Altキーを押しながらで他をすべて閉じる）", "document-close", -1},
    {"actSaveAndExit", "ファイル", "保存して閉じる(&E)", "", R::Document, false, "保存して閉じる|このテキストを保存してから閉じます", "", -1},
    {"actDeleteAndExit", "ファイル", "削除して閉じる(&D)", "", R::Document, false, "削除して閉じる|編集中のファイルを削除してから閉じます", "", -1},
    {"actCloseOther", "ファイル", "他をすべて閉じる(&W)", "", R::Always, false, "他をすべて閉じる|現在編集中のファイルを残して他のファイルをすべて閉じます", "", -1},
    {"actCloseAll", "ファイル", "すべて閉じる(&L)", "", R::Always, false, "すべて閉じる|編集中のすべてのファイルを閉じます", "", -1},
    {"actQuotePaste", "編集", "引用符付き貼り付け(&M)", "Ctrl+Alt+V", R::Clipboard, true, "引用符付き張り付け|クリップボードから引用符つけて貼り付けますぅ。", "", -1},
    {"actDelete", "編集", "削除(&L)", "", R::Selected, true, "削除|選択範囲を削除しちゃいますぅ。", "edit-delete", -1},
    {"actSelectAll", "編集", "すべて選択(&A)", "Ctrl+A", R::HasLines, false, "すべて選択|ぜ～んぶ選択しますぅ。", "edit-select-all", -1},
    {"actCopyAll", "編集", "すべてコピー(&F)", "Shift+Ctrl+Alt+C", R::HasLines, false, "すべてコピー|ぜ～んぶコピーしますぅ。", "", -1},
    {"actDate", "特殊", "日付と時刻(&D)", "", R::HasLines, true, "日付と時刻|日付と時刻をぺったんこですぅ。", "", -1},
    {"actDouble", "特殊", "行の二重化(&2)", "Ctrl+D", R::HasLines, true, "行の二重化|カーソルのある行を複製します", "", -1},
    {"actDeleteLine", "特殊", "一行削除(&1)", "Ctrl+K", R::HasLines, true, "位置行削除|カーソルのある行を削除しちゃいますぅ。", "", -1},
    {"actInsert", "特殊", "文字列挿入(&I)...", "Ctrl+H", R::HasLines, true, "文字列挿入|好きな文字を好きな数だけぺたぺたするですぅ。", "", -1},
    {"actSort", "特殊", "並べ替え(&S)", "", R::MultiRow, true, "並べ替え|選択範囲をあいうえお順に整列ですぅ。", "view-sort-ascending", -1},
    {"actConfig", "設定", "設定(&O)...", "", R::Always, false, "設定|Orvane の各種設定を変更します", "preferences-system", -1},
    {"actKeyConfig", "設定", "キー割り当て(&K)...", "", R::Always, false, "キー割り当て|各コマンドのショートカットキーを設定、変更します", "preferences-desktop-keyboard", -1},
    {"actCodeTemplateConfig", "設定", "コードテンプレート(&P)...", "", R::Always, false, "コードテンプレート|コードテンプレートを編集します", "", -1},
    {"actStyle", "設定", "ファイルタイプ別の設定(&C)...", "", R::Always, false, "ファイルタイプ別の設定|ファイルタイプ（拡張子）別の設定を変更します", "", -1},
    {"actStyleFont", "設定", "ファイルタイプ別の設定 - フォント(&F)...", "", R::Always, false, "フォント|編集中のテキストに対応するファイルタイプ別設定のフォントを変更します", "preferences-desktop-font", -1},
    {"actStyleWordWrap", "設定", "ファイルタイプ別の設定 - 折り返す(&W)", "", R::Always, false, "折り返す|編集中のテキストに対応するファイルタイプ別設定の折り返し設定を切り換えます", "", -1},
    {"actStyleLeftbar", "設定", "ファイルタイプ別の設定 - 行番号の表示(&L)", "", R::Always, false, "行番号の表示|編集中のテキストに対応するファイルタイプ別設定の行番号の表示／非表示を切り換えます", "", -1},
    {"actStyleRuler", "設定", "ファイルタイプ別の設定 - ルーラーの表示(&R)", "", R::Always, false, "ルーラーの表示|編集中のテキストに対応するファイルタイプ別設定のルーラーの表示／非表示を切り換えます", "", -1},
    {"actFountain", "設定", "各モードの設定(&M)...", "", R::Always, false, "各モードの設定|ファイルタイプ別の設定で利用できるモードの設定を変更します", "", -1},
    {"actToolBar", "設定", "ツールバー(&T)", "", R::ToolBar, false, "ツールバー|ウィンドウ上部のツールバーの表示／非表示を切り替えます", "", -1},
    {"actFileListVisible", "設定", "ファイルリストパネル(&D)", "", R::FileList, false, "ファイルリストパネル|ファイルリストパネルの表示／非表示を切り替えます", "", -1},
    {"actFind", "検索", "検索／置換(&F)", "Ctrl+F", R::HasLines, false, "検索／置換|指定された文字列を検索又は置換します", "edit-find", -1},
    {"actFindNext", "検索", "次を検索(&N)", "F3", R::Always, false, "次を検索|前回の検索をもーいちどですぅ。", "go-down", -1},
    {"actFindBefore", "検索", "前を検索(&B)", "Shift+F3", R::Always, false, "前を検索|前回の検索を上に向かってやるのですぅ。", "go-up", -1},
    {"actJumpCursor", "検索", "カーソル位置へ(&C)", "", R::HasLines, false, "カーソル位置へ|カーソルのある位置までジャンプですぅ。", "", -1},
    {"actJumpTop", "検索", "文頭へ移動(&T)", "Ctrl+T", R::HasLines, false, "文頭へ移動|テキストのあたまにジャンプですぅ。", "go-top", -1},
    {"actJump", "検索", "指定行へ移動(&J)...", "Shift+Ctrl+J", R::HasLines, false, "指定行へ移動|指定された行までひとっとびですぅ。", "go-jump", -1},
    {"actJumpBottom", "検索", "文末へ移動(&B)", "Ctrl+B", R::HasLines, false, "文末へ移動|テキストのおしりにジャンプですぅ。", "go-bottom", -1},
    {"actAbout", "ヘルプ", "バージョン情報(&A)...", "", R::Always, false, "バージョン情報|Orvane のバージョン情報を表示します", "help-about", -1},
    {"actUpperCase", "変換", "大文字に変換（半角のみ）(&P)", "", R::Selected, true, "大文字に変換（半角のみ）|選択範囲の半角アルファベットを大文字に変換します", "", -1},
    {"actLowerCase", "変換", "小文字に変換（半角のみ）(&S)", "", R::Selected, true, "小文字に変換（半角のみ）|選択範囲の半角アルファベットを小文字に変換します", "", -1},
    {"actAnsiUpperCase", "変換", "大文字に変換(&U)", "", R::Selected, true, "大文字に変換|大文字に変換しますぅ。びっぐびっぐぅ～。", "", -1},
    {"actAnsiLowerCase", "変換", "小文字に変換(&L)", "", R::Selected, true, "小文字に変換|小文字に変換しますぅ。ちっちゃくぅ～。", "", -1},
    {"actTrimRight", "変換", "行末の空白を削除(&I)", "", R::HasLines, true, "行末の空白を削除|すべての行から行末にある空白を削除します", "", -1},
    {"actTrimLeft", "変換", "行頭の空白を削除(&E)", "", R::HasLines, true, "行頭の空白を削除|すべての行から行頭にある空白を削除します", "", -1},
    {"actTrim", "変換", "行頭と行末の空白を削除(&M)", "", R::HasLines, true, "行頭と行末の空白を削除|すべての行から行頭と行末にある空白を削除します", "", -1},
    {"actTabIndent", "特殊", "TABインデント(&I)", "Shift+Ctrl+I", R::HasLines, true, "TABインデント|選択範囲をTABでインデントします", "format-indent-more", -1},
    {"actHelp", "ヘルプ", "Orvane ヘルプ(&H)", "F1", R::Always, false, "ヘルプ|Orvane のヘルプを表示します", "help-contents", -1},
    {"actTabUnIndent", "特殊", "TABアンインデント(&U)", "Shift+Ctrl+U", R::HasLines, true, "TABアンインデント|選択範囲をTABでアンインデントします", "format-indent-less", -1},
    {"actCodeExplorer", "設定", "コードエクスプローラ(&E)", "", R::CodeExplorer, false, "コードエクスプローラ|コードエクスプローラの表示／非表示を切り替えます", "", -1},
    {"actMessagePanel", "設定", "検索パネル(&M)", "", R::MessagePanel, false, "検索パネル|検索パネルの表示／非表示を切り替えます", "", -1},
    {"actStatusBar", "設定", "ステータスバー(&S)", "", R::StatusBar, false, "ステータスバー|ウィンドウ下部のステータスバーの表示／非表示を切り替えます", "", -1},
    {"actHomepage", "ヘルプ", "Pelmo ホームページ(&U)", "", R::Always, false, "Pelmo ホームページ|Orvane のホームページを開きます。ここから最新版をダウンロードすることができます", "", -1},
    {"actMail", "ヘルプ", "作者宛てにメールを送る(&M)", "", R::Always, false, "作者宛てにメールを送る|作者宛てにメールを作成します", "mail-send", -1},
    {"actCharToReturn", "変換", "指定文字列で改行(&R)...", "", R::Always, true, "指定文字列で改行|特定の文字列を改行に置き換えます", "", -1},
    {"actCount", "検索", "文字数のカウント(&C)...", "", R::Editor, false, "", "", -1},
    {"actCodeExplorerScan", "検索", "スキャン(&S)", "Ctrl+E", R::Always, false, "スキャン|編集中のテキストをコードエクスプローラでスキャンします", "", -1},
    {"actIndent", "特殊", "インデント(&O)", "", R::Always, true, "インデント|選択範囲を半角スペースでインデントします", "", -1},
    {"actPrev", "ファイル", "前のファイル(&P)", "Ctrl+,", R::Always, false, "前のファイル|編集中の前のファイルに移動します", "go-previous", -1},
    {"actNext", "ファイル", "次のファイル(&N)", "Ctrl+.", R::Always, false, "次のファイル|編集中の次のファイルに移動します", "go-next", -1},
    {"actExit", "ファイル", "Orvane の終了(&X)", "", R::Always, false, "終了|え～、もう終わっちゃうのですかぁ。", "application-exit", -1},
    {"actUnIndent", "特殊", "アンインデント(&P)", "", R::Always, true, "アンインデント|選択範囲を半角スペースでアンインデントします", "", -1},
    {"actTagBR", "特殊", "HTML - <br>(&R)", "Shift+Enter", R::Always, true, "HTML - <br>|改行タグ <br> を挿入します", "", -1},
    {"actPerlCommentOut", "特殊", "Perl - コメントアウト(&T)", "", R::Always, true, "Perl - コメントアウト|選択範囲の行頭に#を付加します", "", -1},
    {"actPerlExtractCommentChar", "特殊", "Perl - ソースに戻す(&E)", "", R::Always, true, "Perl - ソースに戻す|選択範囲の行頭にある#を削除します", "", -1},
    {"actCodeTemplate2", "特殊", "コードテンプレートの挿入(&C)", "Ctrl+J", R::Always, true, "コードテンプレートの挿入|コードテンプレートを挿入します", "", -1},
    {"actCodeTemplateAdd", "特殊", "コードテンプレートに追加(&A)...", "", R::Always, false, "コードテンプレートに追加|選択範囲をコードテンプレートに登録します", "", -1},
    {"actDeleteReturn", "変換", "改行削除（行連結）(&D)...", "", R::Always, true, "", "", -1},
    {"actConvert", "変換", "辞書変換(&C)...", "F10", R::Always, true, "辞書変換|Orvane の目玉っ、辞書つかって変換ですぅ。", "tools-check-spelling", -1},
    BOOKMARK(8), BOOKMARK(9),
    {"actNewWindow", "", "別の編集ウィンドウを開く(&N)", "", R::Never, false, "別の編集ウィンドウを開く|同一のテキストを複数のタブで編集できるようにします", "", -1},
    {"actBoxSelect", "編集", "Box選択モード(&K)", "", R::BoxMode, false, "Box選択モード|矩形の範囲を選択するモードに切り替えます（Altキーを押しながらのドラッグでも矩形選択）", "", -1},
}};
// clang-format on

#undef BOOKMARK_PUT
#undef BOOKMARK

constexpr TMenuItemDef kFileMenu[] = {
    {"actNew", ""}, {"actClone", ""}, {"-", ""}, {"actOpen", ""},
    {"actOpenToCaret", "カーソル位置へ読み込む(&I)..."}, {"-", ""}, {"actSave", ""}, {"actSaveAs", ""},
    {"actSaveAll", ""}, {"-", ""}, {"actClose", ""}, {"actSaveAndExit", ""}, {"actDeleteAndExit", ""},
    {"actCloseOther", ""}, {"actCloseAll", ""}, {"-", ""}, {"actPrev", ""}, {"actNext", ""}, {"-", ""},
    {"actExit", "Orvane の終了(&X)"}};
constexpr TMenuItemDef kEditMenu[] = {
    {"actUndo", ""}, {"actRedo", ""}, {"-", ""}, {"actCut", ""}, {"actCopy", ""}, {"actPaste", ""},
    {"actDelete", ""}, {"-", ""}, {"actAddCut", ""}, {"actAddCopy", ""}, {"-", ""}, {"actQuoteCopy", ""},
    {"actQuotePaste", ""}, {"-", ""}, {"actSelectAll", ""}, {"actCopyAll", ""}, {"-", ""}, {"actBoxSelect", ""}};
constexpr TMenuItemDef kSpecialMenu[] = {
    {"actDate", ""}, {"actDouble", ""}, {"actDeleteLine", ""}, {"actInsert", ""}, {"actSort", ""}, {"-", ""},
    {"actTabIndent", ""}, {"actTabUnIndent", ""}, {"actIndent", ""}, {"actUnIndent", ""}, {"-", ""},
    {"actTagBR", ""}, {"actPerlCommentOut", ""}, {"actPerlExtractCommentChar", ""}, {"-", ""},
    {"actCodeTemplate2", ""}, {"actCodeTemplateAdd", ""}};
constexpr TMenuItemDef kSearchMenu[] = {
    {"actFind", ""}, {"actFindNext", ""}, {"actFindBefore", ""}, {"-", ""},
    {"actJumpCursor", "カーソル位置へ移動(&C)"}, {"actJumpTop", ""}, {"actJump", ""}, {"actJumpBottom", ""},
    {"-", ""}, {"actCount", ""}, {"-", ""}, {"actCodeExplorerScan", ""}};
constexpr TMenuItemDef kConvertMenu[] = {
    {"actUpperCase", ""}, {"actLowerCase", ""}, {"actAnsiUpperCase", ""}, {"actAnsiLowerCase", ""}, {"-", ""},
    {"actTrimRight", ""}, {"actTrimLeft", ""}, {"actTrim", ""}, {"-", ""}, {"actCharToReturn", ""},
    {"actDeleteReturn", ""}, {"-", ""}, {"actConvert", ""}};
constexpr TMenuItemDef kConfigMenu[] = {
    {"actConfig", ""}, {"actKeyConfig", ""}, {"actCodeTemplateConfig", ""}, {"-", ""}, {"actStyle", ""},
    {"actStyleFont", ""}, {"actStyleWordWrap", ""}, {"actStyleLeftbar", ""}, {"actStyleRuler", ""}, {"-", ""},
    {"actFountain", ""}, {"-", ""}, {"actToolBar", ""}, {"actFileListVisible", ""}, {"actCodeExplorer", ""},
    {"actMessagePanel", ""}, {"actStatusBar", ""}};
constexpr TMenuItemDef kHelpMenu[] = {
    {"actHelp", ""}, {"-", ""}, {"actHomepage", "ホームページ(&S)"}, {"actMail", ""}, {"-", ""}, {"actAbout", ""}};

// The recent-files menu has no commands: its entries are the recent files.
constexpr TMenuDef kMainMenu[] = {
    {"ファイル(&F)", kFileMenu},   {"最近開いたファイル(&R)", {}}, {"編集(&E)", kEditMenu},
    {"特殊(&S)", kSpecialMenu},    {"検索(&S)", kSearchMenu},     {"変換(&V)", kConvertMenu},
    {"設定(&C)", kConfigMenu},     {"ヘルプ(&H)", kHelpMenu}};

}  // namespace

std::span<const TCommandDef> CommandTable() noexcept { return kCommands; }

int FindCommand(std::string_view Name) noexcept {
    for (std::size_t i = 0; i < kCommands.size(); ++i)
        if (SameText(kCommands[i].Name, Name)) return int(i);
    return -1;
}

int FindItemCommand(std::string_view Item) noexcept {
    if (Item.empty() || Item == "-") return -1;
    for (std::size_t i = 0; i < kCommands.size(); ++i)
        if (SameText(kCommands[i].Name.substr(3), Item)) return int(i);
    return -1;
}

bool CommandEnabled(const TCommandDef& Command, const TCommandState& S) noexcept {
    if (Command.Edits && S.Document && S.ReadOnly) return false;
    switch (Command.Rule) {
    case R::Always: return true;
    case R::CanUndo: return S.Document && S.CanUndo;
    case R::CanRedo: return S.Document && S.CanRedo;
    case R::Selected: return S.Document && S.Selected;
    case R::Clipboard: return S.Document && S.ClipboardText;
    case R::MultiRow: return S.Document && S.MultiRow;
    case R::HasLines: return S.Document && S.HasLines;
    case R::Document:
    case R::Editor: return S.Document;
    case R::ToolBar:
    case R::StatusBar:
    case R::FileList:
    case R::CodeExplorer:
    case R::MessagePanel: return true;
    case R::BoxMode: return S.Document;
    case R::Never: return false;
    }
    return false;
}

bool CommandCheckable(const TCommandDef& Command) noexcept {
    return Command.Rule >= R::ToolBar && Command.Rule <= R::BoxMode;
}

bool CommandChecked(const TCommandDef& Command, const TCommandState& S) noexcept {
    switch (Command.Rule) {
    case R::ToolBar: return S.ToolBar;
    case R::StatusBar: return S.StatusBar;
    case R::FileList: return S.FileList;
    case R::CodeExplorer: return S.CodeExplorer;
    case R::MessagePanel: return S.MessagePanel;
    case R::BoxMode: return S.BoxMode;
    default: return false;
    }
}

std::string CaptionWithoutAccelerator(std::string_view Caption) {
    std::string out(Caption);
    const std::size_t at = out.find("(&");
    if (at != std::string::npos && at + 3 < out.size() && out[at + 3] == ')') return out.erase(at, 4);
    if (const std::size_t amp = out.find('&'); amp != std::string::npos) out.erase(amp, 1);
    return out;
}

std::string_view HintShort(std::string_view Hint) noexcept { return Hint.substr(0, Hint.find('|')); }

std::string_view HintLong(std::string_view Hint) noexcept {
    const std::size_t bar = Hint.find('|');
    return bar == std::string_view::npos ? Hint : Hint.substr(bar + 1);
}

std::vector<TShortCut> BindShortCuts(std::span<const TShortCut> ShortCuts) {
    std::vector<TShortCut> bound(ShortCuts.begin(), ShortCuts.end());
    for (std::size_t i = 0; i < bound.size(); ++i) {
        if (bound[i] == scNone) continue;
        for (std::size_t j = 0; j < i; ++j)
            if (bound[j] == bound[i]) {
                bound[i] = scNone;
                break;
            }
    }
    return bound;
}

std::vector<TShortCut> DefaultShortCuts() {
    std::vector<TShortCut> shortcuts;
    for (const TCommandDef& c : kCommands) shortcuts.push_back(TextToShortCut(c.ShortCut));
    return shortcuts;
}

std::vector<std::string> DefaultShortCutList() {
    std::vector<std::string> list;
    for (const TCommandDef& c : kCommands)
        list.push_back(std::string(c.Name) + "=" + ShortCutToText(TextToShortCut(c.ShortCut)));
    return list;
}

std::span<const TMenuDef> MainMenu() noexcept { return kMainMenu; }

std::vector<std::string> DefaultToolBarItems() {
    return {"new", "open", "save", "-", "undo", "copy", "cut", "paste", "-",
            "find", "findnext", "findbefore", "convert", "-", "help"};
}

std::vector<std::string> DefaultPopupMenuItems() {
    return {"close", "-", "cut", "copy", "paste", "selectall", "boxselect", "-", "config"};
}

}  // namespace orvane
