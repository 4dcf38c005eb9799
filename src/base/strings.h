// The abstract string list and a plain string list, as the class library of the program gives them.
#pragma once

#include "base/notify.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// An ordered list of byte strings. Indexes are 0-based. Derived classes give the storage;
// BeginUpdate/EndUpdate bracket changes and call SetUpdateState for the outermost bracket only.
class TStrings : public TPersistent {
public:
    virtual std::string Get(int Index) const = 0;
    virtual int GetCount() const = 0;
    virtual void Put(int Index, std::string_view S);
    virtual void Insert(int Index, std::string_view S) = 0;
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    virtual int Add(std::string_view S);
    virtual void Exchange(int Index1, int Index2);
    virtual int GetCapacity() const { return GetCount(); }
    virtual void SetCapacity(int) {}

    // The lines joined, each followed by CR LF.
    virtual std::string GetTextStr() const;
    // Replaces the lines by those of Text; CR LF, a lone CR and a lone LF each end a line, and a
    // final line break does not add an empty line.
    virtual void SetTextStr(std::string_view Text);

    void BeginUpdate();
    void EndUpdate();

    int Count() const { return GetCount(); }
    std::string Strings(int Index) const { return Get(Index); }
    void AddStrings(const TStrings& Strings);
    virtual int IndexOf(std::string_view S) const;
    void Assign(const TPersistent& Source) override;

protected:
    virtual void SetUpdateState(bool /*Updating*/) {}

private:
    int FOuterUpdateCount = 0;
};

enum class TDuplicates { dupIgnore, dupAccept, dupError };

// A list of strings held in a vector; sorted lists keep their order on Add and compare without
// regard to ASCII case unless CaseSensitive is set.
class TStringList : public TStrings {
public:
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    std::string Get(int Index) const override;
    int GetCount() const override { return static_cast<int>(FList.size()); }
    void Put(int Index, std::string_view S) override;
    void Insert(int Index, std::string_view S) override;
    void Delete(int Index) override;
    void Clear() override;
    int Add(std::string_view S) override;
    void Exchange(int Index1, int Index2) override;
    int IndexOf(std::string_view S) const override;

    // Binary search of a sorted list: true when found; Index is the match or the insertion place.
    bool Find(std::string_view S, int& Index) const;

    bool Sorted() const noexcept { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates = TDuplicates::dupAccept;
    bool CaseSensitive = false;

protected:
    void SetUpdateState(bool Updating) override;
    virtual void Changed();
    virtual void Changing();

private:
    int Compare(std::string_view A, std::string_view B) const;
    void CheckIndex(int Index, int Limit) const;

    std::vector<std::string> FList;
    bool FSorted = false;
    int FUpdateCount = 0;
};

}  // namespace orvane
