// The class-library stand-ins: notifying persistents and the plain string list.
#include "base/exceptions.h"
#include "base/notify.h"
#include "base/strings.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(NotifyPersistent, UpdateBracketsNotifyOnceAtTheEnd) {
    TNotifyPersistent object, child;
    int changes = 0;
    object.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &object);
        ++changes;
    };
    child.OnChange = [&](TObject* sender) { object.ChildChanged(sender); };
    object.Changed();
    EXPECT_EQ(changes, 1);
    object.BeginUpdate();
    object.BeginUpdate();
    object.Changed();
    child.Changed();  // a sub-object's change reaches the owner, held back by the bracket too
    object.EndUpdate();
    EXPECT_EQ(changes, 1);
    object.EndUpdate();  // once, whether or not anything changed
    EXPECT_EQ(changes, 2);
    object.ChildChanged(&object);  // a change of its own is not reported twice
    EXPECT_EQ(changes, 2);
    EXPECT_THROW(object.Assign(child), EConvertError);
}

TEST(StringList, SortedListsIgnoreCaseAndDuplicates) {
    TStringList list;
    list.SetSorted(true);
    list.Duplicates = TDuplicates::dupIgnore;
    for (const char* s : {".htm", ".HTML", ".pl", ".HTM", ".cgi"}) list.Add(s);
    EXPECT_EQ(list.GetTextStr(), ".cgi\r\n.htm\r\n.HTML\r\n.pl\r\n");
    EXPECT_EQ(list.IndexOf(".Pl"), 3);
    EXPECT_EQ(list.IndexOf(".java"), -1);
    list.Duplicates = TDuplicates::dupError;
    EXPECT_THROW(list.Add(".PL"), EStringListError);

    TStringList copy;
    copy.Add("old");
    copy.Assign(list);
    EXPECT_EQ(copy.GetTextStr(), list.GetTextStr());
    EXPECT_THROW(copy.Get(4), EStringListError);
}

TEST(StringList, TextSplitsOnEveryLineEnd) {
    TStringList list;
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    list.SetTextStr("a\r\nb\rc\n\nd\r\n");
    EXPECT_EQ(list.GetTextStr(), "a\r\nb\r\nc\r\n\r\nd\r\n");
    EXPECT_EQ(changes, 1);  // one notification for the whole text
}

}  // namespace
}  // namespace orvane
