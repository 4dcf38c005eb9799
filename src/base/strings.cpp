// The abstract string list and the plain string list.
#include "base/strings.h"

#include "base/exceptions.h"

#include <algorithm>

namespace orvane {

void TStrings::Put(int Index, std::string_view S) {
    BeginUpdate();
    Delete(Index);
    Insert(Index, S);
    EndUpdate();
}

int TStrings::Add(std::string_view S) {
    const int index = GetCount();
    Insert(index, S);
    return index;
}

void TStrings::Exchange(int Index1, int Index2) {
    BeginUpdate();
    const std::string first = Get(Index1);
    Put(Index1, Get(Index2));
    Put(Index2, first);
    EndUpdate();
}

std::string TStrings::GetTextStr() const {
    std::string text;
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        text += Get(i);
        text += "\r\n";
    }
    return text;
}

void TStrings::SetTextStr(std::string_view Text) {
    BeginUpdate();
    Clear();
    size_t pos = 0;
    while (pos < Text.size()) {
        size_t end = pos;
        while (end < Text.size() && Text[end] != '\r' && Text[end] != '\n') ++end;
        Add(Text.substr(pos, end - pos));
        pos = end;
        if (pos < Text.size() && Text[pos] == '\r') ++pos;
        if (pos < Text.size() && Text[pos] == '\n') ++pos;
    }
    EndUpdate();
}

void TStrings::BeginUpdate() {
    if (FOuterUpdateCount++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (--FOuterUpdateCount == 0) SetUpdateState(false);
}

void TStrings::AddStrings(const TStrings& Strings) {
    BeginUpdate();
    const int count = Strings.GetCount();
    for (int i = 0; i < count; ++i) Add(Strings.Get(i));
    EndUpdate();
}

int TStrings::IndexOf(std::string_view S) const {
    const int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (Get(i) == S) return i;
    return -1;
}

void TStrings::Assign(const TPersistent& Source) {
    const auto* strings = dynamic_cast<const TStrings*>(&Source);
    if (!strings) AssignError(Source);
    if (strings == this) return;
    BeginUpdate();
    Clear();
    AddStrings(*strings);
    EndUpdate();
}

// ---- TStringList

void TStringList::CheckIndex(int Index, int Limit) const {
    if (Index < 0 || Index > Limit) ThrowListIndexError();
}

std::string TStringList::Get(int Index) const {
    CheckIndex(Index, GetCount() - 1);
    return FList[Index];
}

void TStringList::Put(int Index, std::string_view S) {
    CheckIndex(Index, GetCount() - 1);
    Changing();
    FList[Index] = S;
    Changed();
}

void TStringList::Insert(int Index, std::string_view S) {
    CheckIndex(Index, GetCount());
    Changing();
    FList.insert(FList.begin() + Index, std::string(S));
    Changed();
}

void TStringList::Delete(int Index) {
    CheckIndex(Index, GetCount() - 1);
    Changing();
    FList.erase(FList.begin() + Index);
    Changed();
}

void TStringList::Clear() {
    if (FList.empty()) return;
    Changing();
    FList.clear();
    Changed();
}

int TStringList::Add(std::string_view S) {
    if (!FSorted) return TStrings::Add(S);
    int index = 0;
    if (Find(S, index)) {
        if (Duplicates == TDuplicates::dupIgnore) return index;
        if (Duplicates == TDuplicates::dupError) throw EStringListError("重複は許されません");
    }
    Changing();
    FList.insert(FList.begin() + index, std::string(S));
    Changed();
    return index;
}

void TStringList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1, GetCount() - 1);
    CheckIndex(Index2, GetCount() - 1);
    Changing();
    std::swap(FList[Index1], FList[Index2]);
    Changed();
}

int TStringList::Compare(std::string_view A, std::string_view B) const {
    if (CaseSensitive) return A.compare(B);
    const size_t n = std::min(A.size(), B.size());
    for (size_t i = 0; i < n; ++i) {
        auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        const int a = lower(static_cast<unsigned char>(A[i]));
        const int b = lower(static_cast<unsigned char>(B[i]));
        if (a != b) return a < b ? -1 : 1;
    }
    return A.size() < B.size() ? -1 : A.size() > B.size() ? 1 : 0;
}

int TStringList::IndexOf(std::string_view S) const {
    if (FSorted) {
        int index = 0;
        return Find(S, index) ? index : -1;
    }
    for (int i = 0; i < GetCount(); ++i)
        if (Compare(FList[i], S) == 0) return i;
    return -1;
}

bool TStringList::Find(std::string_view S, int& Index) const {
    int low = 0, high = GetCount() - 1;
    bool found = false;
    while (low <= high) {
        const int mid = (low + high) / 2;
        const int c = Compare(FList[mid], S);
        if (c < 0) {
            low = mid + 1;
        } else {
            high = mid - 1;
            if (c == 0) {
                found = true;
                if (Duplicates != TDuplicates::dupAccept) low = mid;
            }
        }
    }
    Index = low;
    return found;
}

void TStringList::SetSorted(bool Value) {
    if (FSorted == Value) return;
    if (Value) {
        Changing();
        std::stable_sort(FList.begin(), FList.end(),
                         [this](const std::string& a, const std::string& b) { return Compare(a, b) < 0; });
        Changed();
    }
    FSorted = Value;
}

void TStringList::SetUpdateState(bool Updating) {
    if (Updating) {
        Changing();
        ++FUpdateCount;
    } else {
        --FUpdateCount;
        Changed();
    }
}

void TStringList::Changed() {
    if (FUpdateCount == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
    if (FUpdateCount == 0 && OnChanging) OnChanging(this);
}

}  // namespace orvane
