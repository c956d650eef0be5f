// SPDX-License-Identifier: MIT
#pragma once
// The symbol area: shows the whole symbol, at its natural size when it fits,
// otherwise scaled down; on a window enlarged beyond its first size, scaled
// up by whole factors. The scale is shown when it is not 100 %. A series is
// laid out in the grid that shows it largest. A symbol older than the fields
// is shown faded and marked; the keyboard focus is a frame around the symbol,
// never drawn over it.

#include <QImage>
#include <QList>
#include <QWidget>

namespace barquill::app {

class SymbolView : public QWidget {
    Q_OBJECT
public:
    explicit SymbolView(QWidget* parent = nullptr);

    // One picture at its natural size; a null image clears the area.
    void setSymbol(const QImage& symbol);
    // The pictures of a series, all of one size.
    void setSymbols(const QList<QImage>& symbols);
    // What is shown, at natural size: the picture, or the series as laid out.
    QImage symbol() const;
    int gridColumns() const { return m_columns; }

    // Marks the symbol as made from other fields than those shown now.
    void setStale(bool stale);
    bool isStale() const { return m_stale; }

    // The scale the symbol is shown at in this area's current size.
    double scale() const;
    // Where the symbol is painted, in the area's coordinates.
    QRect symbolRect() const;

    // The size the area starts with: the original window's symbol area.
    static constexpr int START_WIDTH = 620;
    static constexpr int START_HEIGHT = 313;
    // Room kept around the symbol for the focus frame.
    static constexpr int FRAME = 4;
    // Background between the symbols of a series, in picture pixels.
    static constexpr int SERIES_GAP = 8;
    QSize sizeHint() const override { return {START_WIDTH, START_HEIGHT}; }

    // The rule: natural size when it fits; a whole factor up only when the
    // area is larger than its start size both ways; otherwise exactly half
    // (module edges stay on pixel edges) or whatever fits.
    static double scaleFor(QSize symbol, QSize area);
    // The number of grid columns that shows `count` pictures of `picture`
    // largest in `area`; on a tie, the wider grid, so a series reads along.
    static int columnsFor(int count, QSize picture, QSize area);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QSize shownArea() const;
    QSize layoutSize() const;
    QPoint cellOrigin(int index) const;  // in the layout, at natural size
    void layOut();

    QList<QImage> m_symbols;
    int m_columns = 1;
    bool m_stale = false;
};

}  // namespace barquill::app
