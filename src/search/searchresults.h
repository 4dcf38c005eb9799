// The hits of a multi-file search as a tree model: a row per text with hits, under it a row per
// hit, drawn with the hit in bold. The model reads the hit lists themselves; it makes no item
// per hit, so a search with a million hits stays usable.
#pragma once

#include "search/foldersearch.h"

#include <QAbstractItemModel>
#include <QStyledItemDelegate>

#include <vector>

namespace orvane {

class TSearchResultsModel : public QAbstractItemModel {
    Q_OBJECT

public:
    // Roles of a hit row beside DisplayRole ("0001: " and the line, tabs as four spaces).
    enum TRole { BeforeRole = Qt::UserRole + 1, HitRole, AfterRole };

    explicit TSearchResultsModel(QObject* Parent = nullptr);

    // Appends the hits of one text (taking them) / of several; removes every row.
    void AddText(TTextHits&& Text);
    void AddTexts(std::vector<TTextHits>&& Texts);
    void Clear();

    std::size_t TextCount() const noexcept { return FTexts.size(); }
    std::size_t HitCount() const noexcept { return FHitCount; }
    const TTextHits& Text(std::size_t I) const { return FTexts[I]; }
    // The text and hit of a hit row; false for a text row or an invalid index.
    bool HitAt(const QModelIndex& Index, const TTextHits*& Text, const TSearchHit*& Hit) const;

    // The hit row's text in three parts: "%.4d: " and the line before the hit, the hit (up to the
    // line's end), the rest; tabs become four spaces; UTF-8 of the code page 932 line.
    struct TParts {
        QString Before, Hit, After;
    };
    static TParts HitParts(const TTextHits& Text, const TSearchHit& Hit);

    QModelIndex index(int Row, int Column, const QModelIndex& Parent = {}) const override;
    QModelIndex parent(const QModelIndex& Child) const override;
    int rowCount(const QModelIndex& Parent = {}) const override;
    int columnCount(const QModelIndex& Parent = {}) const override;
    QVariant data(const QModelIndex& Index, int Role = Qt::DisplayRole) const override;
    bool hasChildren(const QModelIndex& Parent = {}) const override;

private:
    std::vector<TTextHits> FTexts;
    std::size_t FHitCount = 0;
};

// Draws a hit row as "0001: before" + the hit in bold + "after".
class THitDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;
};

}  // namespace orvane
