#pragma once
// The symbol area: shows the whole symbol, at its natural size when it fits,
// otherwise scaled down; on a window enlarged beyond its first size, scaled
// up by whole factors. The scale is shown when it is not 100 %.

#include <QImage>
#include <QWidget>

namespace barquill::app {

class SymbolView : public QWidget {
    Q_OBJECT
public:
    explicit SymbolView(QWidget* parent = nullptr);

    // The picture at its natural size; a null image clears the area.
    void setSymbol(const QImage& symbol);
    const QImage& symbol() const { return m_symbol; }

    // The scale the symbol is shown at in this area's current size.
    double scale() const;
    // Where the symbol is painted, in the area's coordinates.
    QRect symbolRect() const;

    // The size the area starts with: the original window's symbol area.
    static constexpr int START_WIDTH = 620;
    static constexpr int START_HEIGHT = 313;
    QSize sizeHint() const override { return {START_WIDTH, START_HEIGHT}; }

    // The rule: natural size when it fits; a whole factor up only when the
    // area is larger than its start size both ways; otherwise exactly half
    // (module edges stay on pixel edges) or whatever fits.
    static double scaleFor(QSize symbol, QSize area);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_symbol;
};

}  // namespace barquill::app
