#include "receipt_painter.h"

#include "receipt_fonts.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <limits>

namespace console::ui {

namespace {

using console::ReceiptElement;
using console::ReceiptText;

QString qtText(const std::string& text) { return QString::fromStdString(text); }

Qt::Alignment alignment(ReceiptText::Align align)
{
    switch (align) {
    case ReceiptText::Align::Centre:
        return Qt::AlignHCenter;
    case ReceiptText::Align::Right:
        return Qt::AlignRight;
    case ReceiptText::Align::Left:
        break;
    }
    return Qt::AlignLeft;
}

// Where the first right-aligned text on the same line as element `at` begins;
// the texts of one line follow each other in the layout without a font change.
qreal rightTextStart(const std::vector<ReceiptElement>& elements, std::size_t at, const QFontMetricsF& metrics)
{
    const int top = std::get<ReceiptText>(elements[at]).rect.top;
    qreal start = std::numeric_limits<qreal>::max();
    for (std::size_t i = at + 1; i < elements.size(); ++i) {
        const auto* next = std::get_if<ReceiptText>(&elements[i]);
        if (!next || next->rect.top != top)
            break;
        if (next->align == ReceiptText::Align::Right)
            start = std::min(start, next->rect.right - metrics.horizontalAdvance(qtText(next->text)));
    }
    return start;
}

class ReceiptPainter {
public:
    ReceiptPainter(QPainter& painter, const console::ReceiptLayout& layout)
        : painter_(painter), layout_(layout), metrics_(painter.font(), painter.device())
    {
    }

    void paint()
    {
        // A rule is one receipt unit thick, and never thinner than a pixel.
        QPen pen(Qt::black);
        pen.setWidth(std::max(1, static_cast<int>(layout_.scale.sy)));
        pen.setCapStyle(Qt::FlatCap);
        painter_.setPen(pen);
        painter_.setBackgroundMode(Qt::TransparentMode);
        for (std::size_t i = 0; i < layout_.elements.size(); ++i) {
            const ReceiptElement& element = layout_.elements[i];
            if (const auto* setFont = std::get_if<console::ReceiptSetFont>(&element)) {
                painter_.setFont(receiptFont(setFont->font, painter_.device()));
                metrics_ = QFontMetricsF(painter_.font(), painter_.device());
            } else if (const auto* rule = std::get_if<console::ReceiptRule>(&element)) {
                painter_.drawLine(rule->x1, rule->y, rule->x2, rule->y);
            } else {
                drawText(i);
            }
        }
    }

private:
    void drawText(std::size_t at)
    {
        const auto& text = std::get<ReceiptText>(layout_.elements[at]);
        const console::ReceiptRect& rect = text.rect;
        QString shown = qtText(text.text);
        if (text.fit == ReceiptText::Fit::Elide) {
            qreal room = rect.right - rect.left;
            if (text.align == ReceiptText::Align::Left) {
                const qreal gap = metrics_.horizontalAdvance(QLatin1Char(' '));
                room = std::min(room, rightTextStart(layout_.elements, at, metrics_) - gap - rect.left);
            }
            shown = metrics_.elidedText(shown, Qt::ElideRight, std::max<qreal>(0, room));
        }
        // One line from the rectangle's top; whole texts may pass its edges.
        const QRectF box(rect.left, rect.top, rect.right - rect.left, metrics_.height());
        painter_.drawText(box, alignment(text.align) | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, shown);
    }

    QPainter& painter_;
    const console::ReceiptLayout& layout_;
    QFontMetricsF metrics_;
};

} // namespace

void paintReceipt(QPainter& painter, const console::ReceiptLayout& layout)
{
    painter.save();
    ReceiptPainter(painter, layout).paint();
    painter.restore();
}

} // namespace console::ui
