// The search settings and their XML file.
#include "search/searchproperties.h"

#include "base/dbcs.h"
#include "files/unicode.h"
#include "files/xml.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace orvane {

namespace {

constexpr const char* kNotOurs = "Orvane のファイルではありません";
constexpr const char* kOtherVersion = "version1.0以外のファイルは読み込めません";

// One character of code page 932 text with ASCII and full-width Latin letters made lower case.
unsigned FoldedChar(std::string_view S, std::size_t I, std::size_t Len) {
    const unsigned char b = S[I];
    if (Len == 1) return b >= 'A' && b <= 'Z' ? b + 32u : b;
    const unsigned code = b << 8 | static_cast<unsigned char>(S[I + 1]);
    return code >= 0x8260 && code <= 0x8279 ? code + 0x21 : code;  // Ａ..Ｚ -> ａ..ｚ
}

bool SameTextIgnoringCase(std::string_view A, std::string_view B) {
    std::size_t i = 0, j = 0;
    while (i < A.size() && j < B.size()) {
        const std::size_t la = CharLenAt(A, i), lb = CharLenAt(B, j);
        if (FoldedChar(A, i, la) != FoldedChar(B, j, lb)) return false;
        i += la;
        j += lb;
    }
    return i == A.size() && j == B.size();
}

void AddHistory(TStringList& History, const std::string& Value) {
    if (Value.empty()) return;
    for (int k = 0; k < History.Count(); ++k) {
        if (SameTextIgnoringCase(History.Strings(k), Value)) {
            if (k != 0) History.Exchange(0, k);
            return;
        }
    }
    History.Insert(0, Value);
    while (History.Count() > TSearchProperties::kHistoryLimit) History.Delete(History.Count() - 1);
}

// Paths are written in code page 932 when they convert both ways unchanged, else as their UTF-8
// bytes with encoding="UTF-8", so that no path is lost.
void SetPathChild(TNanXMLParentNode& Parent, std::string_view Name, const std::string& Utf8) {
    TCodeCounts counts;
    const std::string sjis = Utf8ToSjis(Utf8, nullptr, &counts);
    const bool exact = counts.Invalid == 0 && counts.Lost == 0 && SjisToUtf8(sjis, nullptr, nullptr) == Utf8;
    TNanXMLElement& e = SetChildText(Parent, Name, exact ? sjis : Utf8);
    if (!exact) e.AddAttribute("encoding", "UTF-8");
}

std::string GetPathChild(const TNanXMLParentNode& Parent, std::string_view Name, const std::string& Default) {
    const TNanXMLElement* e = Parent.FirstElement(Name);
    if (!e) return Default;
    const std::string text = e->GetText();
    return SameXmlName(e->GetAttribute("encoding"), "UTF-8") ? text : SjisToUtf8(text, nullptr, nullptr);
}

// Why a document cannot be taken as search settings, or nullptr when it can.
const char* Refusal(const TNanXML& Xml) {
    const TNanXMLElement* root = Xml.Document().FirstElement("orvane");
    if (!root) return kNotOurs;
    const TNanXMLElement* properties = root->FirstElement("searchproperties");
    std::string version;
    if (properties && !(properties->TryGetAttribute("version", version) && version == "1.0")) return kOtherVersion;
    return nullptr;
}

bool IsBlankDocument(const TNanXML& Xml) {
    const TNanXMLParentNode& doc = Xml.Document();
    for (int i = 0; i < doc.ChildCount(); ++i) {
        const TNanXMLNode* node = doc.Child(i);
        if (!dynamic_cast<const TNanXMLText*>(node)) return false;
        for (char c : node->GetText())
            if (static_cast<unsigned char>(c) > 0x20) return false;
    }
    return true;
}

std::string BaseName(const std::string& Path) {
    const std::size_t slash = Path.rfind('/');
    return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

// Renames Path to the first free "<Path>.bak", "<Path>.bak2", ...; the new name, or empty when
// the file could not be moved.
std::string MoveAside(const std::string& Path) {
    for (int n = 1; n <= 100; ++n) {
        const std::string aside = Path + ".bak" + (n == 1 ? "" : std::to_string(n));
        if (::renameat2(AT_FDCWD, Path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) return aside;
        if (errno == EEXIST) continue;
        if (errno != EINVAL && errno != ENOSYS) return {};
        // A file system without the no-replace rename: look first.
        struct stat st;
        if (::lstat(aside.c_str(), &st) == 0) continue;
        return ::rename(Path.c_str(), aside.c_str()) == 0 ? aside : std::string();
    }
    return {};
}

}  // namespace

std::string SearchSettingsFile(const std::string& Folder) {
    if (Folder.empty()) return kSearchSettingsFileName;
    return Folder.back() == '/' ? Folder + kSearchSettingsFileName : Folder + "/" + kSearchSettingsFileName;
}

void TSearchProperties::Assign(const TPersistent& Source) {
    const auto* s = dynamic_cast<const TSearchProperties*>(&Source);
    if (!s) return TPersistent::Assign(Source);
    if (s == this) return;
    FSearchHistory.Assign(s->FSearchHistory);
    FReplaceHistory.Assign(s->FReplaceHistory);
    SearchValue = s->SearchValue;
    ReplaceValue = s->ReplaceValue;
    Options = s->Options;
    SelectedOnly = s->SelectedOnly;
    FromCursor = s->FromCursor;
    Target = s->Target;
    Folder = s->Folder;
    Mask = s->Mask;
    SubFolder = s->SubFolder;
}

void TSearchProperties::SetDefaults() {
    FSearchHistory.Clear();
    FReplaceHistory.Clear();
    SearchValue.clear();
    ReplaceValue.clear();
    Options = 0;
    SelectedOnly = false;
    FromCursor = true;
    Target = stOpenFiles;
    Folder.clear();
    Mask = "*.txt";
    SubFolder = false;
}

void TSearchProperties::SetOption(int Bit, bool On) {
    if (Bit < 0 || Bit > 15) return;
    if (On) Options = TSearchOptions(Options | (1u << Bit));
    else Options = TSearchOptions(Options & ~(1u << Bit));
}

void TSearchProperties::AddSearchHistory() { AddHistory(FSearchHistory, SearchValue); }
void TSearchProperties::AddReplaceHistory() { AddHistory(FReplaceHistory, ReplaceValue); }

void TSearchProperties::LoadFromFile(const std::string& FileName) {
    SetDefaults();
    TNanXML xml;
    xml.LoadFromFile(FileName);
    if (IsBlankDocument(xml)) return;  // nothing to keep: as if there were no file
    if (const char* reason = Refusal(xml)) {
        const std::string aside = MoveAside(FileName);
        throw Exception(FileName + "\r" + reason + "\r" +
                        (aside.empty() ? "このファイルは上書きしません"
                                       : "元のファイルは " + BaseName(aside) + " という名前で残しました"));
    }
    const TNanXMLElement* p = xml.Document().FirstElement("orvane")->FirstElement("searchproperties");
    if (!p) return;

    SearchValue = GetChildText(*p, "searchvalue", SearchValue);
    ReplaceValue = GetChildText(*p, "replacevalue", ReplaceValue);
    if (const TNanXMLElement* flag = p->FirstElement("flag")) {
        SelectedOnly = GetBoolAttribute(*flag, "selectedonly", SelectedOnly);
        FromCursor = GetBoolAttribute(*flag, "fromcursor", FromCursor);
    }
    if (const TNanXMLElement* options = p->FirstElement("options"))
        for (const TSearchOptionName& o : kSearchOptionNames)
            if (options->FirstElement(o.Element)) Options = TSearchOptions(Options | o.Option);
    GetChildStrings(*p, "searchhistory", FSearchHistory);
    GetChildStrings(*p, "replacehistory", FReplaceHistory);
    if (const TNanXMLElement* files = p->FirstElement("filesearch")) {
        // A target that is not one of the three keeps the current one.
        const int target = GetIntAttribute(*files, "target", -1);
        if (target >= stEditedFile && target <= stFolder) Target = static_cast<TSearchTarget>(target);
        Folder = GetPathChild(*files, "folder", Folder);
        Mask = GetPathChild(*files, "mask", Mask);
        SubFolder = GetBoolAttribute(*files, "subfolder", SubFolder);
    }
}

void TSearchProperties::SaveToFile(const std::string& FileName) const {
    TNanXML xml;
    struct stat st;
    if (::stat(FileName.c_str(), &st) == 0 || errno != ENOENT) {
        xml.LoadFromFile(FileName);  // a file that cannot be read raises here, before anything is written
        const char* reason = Refusal(xml);
        if (reason && !IsBlankDocument(xml))
            throw Exception(FileName + "\r" + reason + "\r" + "検索の設定は保存しませんでした");
    }
    TNanXMLParentNode& doc = xml.Document();
    TNanXMLElement* root = doc.FirstElement("orvane");
    if (!root) root = doc.AddElement("orvane");
    TNanXMLElement* p = root->FirstElement("searchproperties");
    if (p) p->ClearAll();
    else p = root->AddElement("searchproperties");

    p->AddAttribute("version", "1.0");
    SetChildText(*p, "searchvalue", SearchValue);
    SetChildText(*p, "replacevalue", ReplaceValue);
    TNanXMLElement* flag = p->AddElement("flag");
    SetBoolAttribute(*flag, "selectedonly", SelectedOnly);
    SetBoolAttribute(*flag, "fromcursor", FromCursor);
    TNanXMLElement* options = p->AddElement("options");
    for (const TSearchOptionName& o : kSearchOptionNames)
        if (Options & o.Option) options->AddElement(o.Element);
    SetChildStrings(*p, "searchhistory", FSearchHistory);
    SetChildStrings(*p, "replacehistory", FReplaceHistory);
    TNanXMLElement* files = p->AddElement("filesearch");
    SetIntAttribute(*files, "target", Target);
    SetPathChild(*files, "folder", Folder);
    SetPathChild(*files, "mask", Mask);
    SetBoolAttribute(*files, "subfolder", SubFolder);
    xml.SaveToFile(FileName);
}

}  // namespace orvane
