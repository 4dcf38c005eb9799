// The hits of a multi-file search as a tree model.
#include "search/searchresults.h"

#include "base/dbcs.h"
#include "files/unicode.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace orvane {

namespace {

// A text row has internal id 0; a hit row the number of its text plus one.
constexpr quintptr kTextRow = 0;
// Bytes of a line shown before and after its hit.
constexpr std::size_t kShownBefore = 160, kShownAfter = 400;

QString Expanded(std::string_view Sjis, const TCharMap* Map) {
    QString s = QString::fromStdString(SjisToUtf8(Sjis, Map, nullptr));
    s.replace(QLatin1Char('\t'), QStringLiteral("    "));
    return s;
}

}  // namespace

TSearchResultsModel::TSearchResultsModel(QObject* Parent) : QAbstractItemModel(Parent) {}

void TSearchResultsModel::AddText(TTextHits&& Text) {
    const int row = int(FTexts.size());
    beginInsertRows({}, row, row);
    FHitCount += Text.Hits.size();
    FTexts.push_back(std::move(Text));
    endInsertRows();
}

void TSearchResultsModel::AddTexts(std::vector<TTextHits>&& Texts) {
    if (Texts.empty()) return;
    const int row = int(FTexts.size());
    beginInsertRows({}, row, row + int(Texts.size()) - 1);
    for (TTextHits& t : Texts) {
        FHitCount += t.Hits.size();
        FTexts.push_back(std::move(t));
    }
    endInsertRows();
    Texts.clear();
}

void TSearchResultsModel::Clear() {
    beginResetModel();
    std::vector<TTextHits>().swap(FTexts);
    FHitCount = 0;
    endResetModel();
}

bool TSearchResultsModel::HitAt(const QModelIndex& Index, const TTextHits*& Text, const TSearchHit*& Hit) const {
    if (!Index.isValid() || Index.internalId() == kTextRow) return false;
    const std::size_t t = Index.internalId() - 1;
    if (t >= FTexts.size() || std::size_t(Index.row()) >= FTexts[t].Hits.size()) return false;
    Text = &FTexts[t];
    Hit = &FTexts[t].Hits[std::size_t(Index.row())];
    return true;
}

TSearchResultsModel::TParts TSearchResultsModel::HitParts(const TTextHits& Text, const TSearchHit& Hit) {
    const std::string_view line = Text.LineText(Hit);
    const std::size_t at = std::min(line.size(), std::size_t(std::max(Hit.Column - 1, 0)));
    // A hit that runs over line breaks is shown up to the end of its first line.
    const std::size_t length = std::min(line.size() - at, std::size_t(std::max(Hit.Length, 0)));
    const TCharMap* map = Text.Map.get();
    // A long line is shown around its hit only.
    const std::size_t from = at > kShownBefore ? CharStartOf(line, at - kShownBefore) : 0;
    std::size_t to = std::min(line.size(), at + length + kShownAfter);
    if (to < line.size()) to = CharStartOf(line, to);
    TParts p;
    p.Before = QStringLiteral("%1: ").arg(Hit.Line + 1) + Expanded(line.substr(from, at - from), map);
    p.Hit = Expanded(line.substr(at, length), map);
    p.After = Expanded(line.substr(at + length, std::max(to, at + length) - at - length), map);
    return p;
}

QModelIndex TSearchResultsModel::index(int Row, int Column, const QModelIndex& Parent) const {
    if (Row < 0 || Column != 0) return {};
    if (!Parent.isValid()) return std::size_t(Row) < FTexts.size() ? createIndex(Row, 0, kTextRow) : QModelIndex();
    if (Parent.internalId() != kTextRow || std::size_t(Parent.row()) >= FTexts.size()) return {};
    if (std::size_t(Row) >= FTexts[std::size_t(Parent.row())].Hits.size()) return {};
    return createIndex(Row, 0, quintptr(Parent.row()) + 1);
}

QModelIndex TSearchResultsModel::parent(const QModelIndex& Child) const {
    if (!Child.isValid() || Child.internalId() == kTextRow) return {};
    return createIndex(int(Child.internalId() - 1), 0, kTextRow);
}

int TSearchResultsModel::rowCount(const QModelIndex& Parent) const {
    if (!Parent.isValid()) return int(FTexts.size());
    if (Parent.internalId() != kTextRow) return 0;
    return int(std::min<std::size_t>(FTexts[std::size_t(Parent.row())].Hits.size(), 0x7FFFFFFF));
}

int TSearchResultsModel::columnCount(const QModelIndex&) const { return 1; }

bool TSearchResultsModel::hasChildren(const QModelIndex& Parent) const { return rowCount(Parent) > 0; }

QVariant TSearchResultsModel::data(const QModelIndex& Index, int Role) const {
    if (!Index.isValid()) return {};
    if (Index.internalId() == kTextRow) {
        const TTextHits& t = FTexts[std::size_t(Index.row())];
        if (Role == Qt::DisplayRole) return QString::fromStdString(t.Path);
        if (Role == Qt::ToolTipRole) return QStringLiteral("%1 件").arg(t.Hits.size());
        if (Role == Qt::DecorationRole) {
            static const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
            return icon;
        }
        return {};
    }
    const TTextHits* text;
    const TSearchHit* hit;
    if (!HitAt(Index, text, hit)) return {};
    if (Role != Qt::DisplayRole && Role != BeforeRole && Role != HitRole && Role != AfterRole) return {};
    const TParts p = HitParts(*text, *hit);
    switch (Role) {
        case BeforeRole: return p.Before;
        case HitRole: return p.Hit;
        case AfterRole: return p.After;
        default: return p.Before + p.Hit + p.After;
    }
}

void THitDelegate::paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const {
    const QVariant hit = Index.data(TSearchResultsModel::HitRole);
    if (!hit.isValid()) {
        QStyledItemDelegate::paint(Painter, Option, Index);
        return;
    }
    QStyleOptionViewItem o = Option;
    initStyleOption(&o, Index);
    o.text.clear();
    QStyle* style = o.widget ? o.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &o, Painter, o.widget);
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &o, o.widget);
    Painter->save();
    Painter->setPen(o.state & QStyle::State_Selected ? o.palette.highlightedText().color() : o.palette.text().color());
    QFont bold = o.font;
    bold.setBold(true);
    int x = area.left() + 2;
    const auto draw = [&](const QString& Text, const QFont& Font) {
        Painter->setFont(Font);
        Painter->drawText(QRect(x, area.top(), area.right() - x, area.height()), Qt::AlignVCenter | Qt::TextSingleLine, Text);
        x += QFontMetrics(Font).horizontalAdvance(Text);
    };
    draw(Index.data(TSearchResultsModel::BeforeRole).toString(), o.font);
    draw(hit.toString(), bold);
    draw(Index.data(TSearchResultsModel::AfterRole).toString(), o.font);
    Painter->restore();
}

}  // namespace orvane
