// Settings objects tell their listeners about changes: once per change or per update bracket.
#include "modes/modes_support.h"

#include <gtest/gtest.h>

#include <string>

namespace orvane::test {
namespace {

struct Listener : TObject {
    std::string calls;
    void A(TObject*) { calls += 'A'; }
    void B(TObject*) { calls += 'B'; }
};

TEST(MethodList, RemoveTakesTheLastEntryWithTheSameCodeAndObject) {
    Listener one, two;
    TNotifyEventList list(nullptr);
    list.Add(MakeMethod(&one, &Listener::A));
    list.Add(MakeMethod(&one, &Listener::B));
    list.Add(MakeMethod(&two, &Listener::A));
    list.Add(MakeMethod(&one, &Listener::A));
    list.Remove(MakeMethod(&one, &Listener::A));
    list.Remove(MakeMethod(&two, &Listener::B));  // no such entry
    ASSERT_EQ(list.Methods().Count(), 3);
    EXPECT_EQ(list.Methods().Items(0).Data, &one);
    EXPECT_EQ(list.Methods().Items(2).Data, &two);
    list.Changed();
    EXPECT_EQ(one.calls, "AB");
    EXPECT_EQ(two.calls, "A");
}

TEST(Fountain, EveryChangeReachesSubscribersOnceWithTheFountainAsSender) {
    auto f = NewEditorFountain();
    Listener l;
    std::vector<TObject*> senders;
    TMethod m = MakeMethod(&l, &Listener::A);
    m.Call = [&](TObject* s) { senders.push_back(s); };
    f->NotifyEventList().Add(m);

    f->Reserve().SetColor(clRed);
    f->Reserve().SetColor(clRed);  // unchanged: no event
    auto* b = f->Brackets().Add();
    b->ItemColor().SetStyle(fsBold);
    b->SetLeftBracket("<");
    f->Colors().Url().SetBkColor(clBlue);
    f->SetMail(true);
    TStringList words;
    words.Add("x");
    f->SetReserveWordList(words);
    EXPECT_EQ(senders, std::vector<TObject*>(7, f.get()));  // adding the item is a change too

    senders.clear();
    f->NotifyEventList().BeginUpdate();
    f->Reserve().SetColor(clBlue);
    f->SetUrl(true);
    f->NotifyEventList().EndUpdate();
    EXPECT_EQ(senders.size(), 1u);

    f->NotifyEventList().Remove(m);
    senders.clear();
    f->SetUrl(false);
    EXPECT_TRUE(senders.empty());
}

TEST(Fountain, DestructionIsAnnounced) {
    auto f = NewEditorFountain();
    Listener l;
    TObject* gone = nullptr;
    TMethod m = MakeMethod(&l, &Listener::A);
    m.Call = [&](TObject* s) { gone = s; };
    f->FreeNotification(m);
    TObject* address = f.get();
    f.reset();
    EXPECT_EQ(gone, address);
}

TEST(Brackets, FifteenthItemIsRefused) {
    auto f = NewEditorFountain();
    for (int i = 0; i < 14; ++i) f->Brackets().Add();
    try {
        f->Brackets().Add();
        FAIL() << "no error";
    } catch (const EFountainError& e) {
        EXPECT_EQ(std::string(e.what()), "TFountainBracketCollection\r\nYou can not add item over 14");
    }
    EXPECT_EQ(f->Brackets().Count(), 14);
}

// A collection without the limit, as a source that holds more than a mode can.
class UnlimitedBrackets : public TFountainBracketCollection {
public:
    TFountainBracketItem* Add() override { return static_cast<TFountainBracketItem*>(TNotifyCollection::Add()); }
};

TEST(Brackets, AssignFromALargerCollectionStopsAtTheLimitAndClosesItsBracket) {
    UnlimitedBrackets big;
    for (int i = 0; i < 15; ++i) big.Add()->SetLeftBracket(std::to_string(i));
    auto f = NewEditorFountain();
    EXPECT_THROW(f->Brackets().Assign(big), EFountainError);
    EXPECT_EQ(f->Brackets().Count(), 14);
    EXPECT_EQ(f->Brackets().UpdateCount(), 0);
    EXPECT_EQ(f->Brackets().Items(13)->LeftBracket(), "13");
}

TEST(Brackets, AssignToItselfKeepsTheItems) {
    auto f = NewEditorFountain();
    f->Brackets().Add()->SetLeftBracket("/*");
    f->Brackets().Assign(f->Brackets());
    ASSERT_EQ(f->Brackets().Count(), 1);
    EXPECT_EQ(f->Brackets().Items(0)->LeftBracket(), "/*");
}

TEST(Brackets, AssignCopiesDelimitersAndColoursWithOneNotification) {
    auto a = NewEditorFountain();
    auto* item = a->Brackets().Add();
    item->SetLeftBracket("/*");
    item->SetRightBracket("*/");
    item->ItemColor().SetColor(clGreen);
    a->Brackets().Add()->SetLeftBracket("//");
    auto b = NewEditorFountain();
    int notified = 0;
    TMethod m;
    m.Call = [&](TObject*) { ++notified; };
    b->NotifyEventList().Add(m);
    b->SetBrackets(a->Brackets());
    EXPECT_EQ(notified, 1);
    ASSERT_EQ(b->Brackets().Count(), 2);
    EXPECT_EQ(b->Brackets().Items(0)->RightBracket(), "*/");
    EXPECT_EQ(b->Brackets().Items(0)->ItemColor().Color(), clGreen);

    notified = 0;
    static_cast<TEditorBracketCollection&>(b->Brackets()).SetAllColor(clRed);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(b->Brackets().Items(1)->ItemColor().Color(), clRed);
}

TEST(Fountain, FileExtensionsAreLookedUpWithoutRegardToCase) {
    auto f = NewEditorFountain();
    TStringList exts;
    exts.Add(".txt");
    exts.Add(".TXT");
    f->SetFileExtList(exts);
    EXPECT_EQ(f->FileExtList().Count(), 1);
    EXPECT_TRUE(f->HandlesExt(".Txt"));
    EXPECT_FALSE(f->HandlesExt(".htm"));
}

}  // namespace
}  // namespace orvane::test
