#include "ui/scope_graph.h"

#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>

namespace orp {

namespace {
const std::deque<int> kNoSamples;
int ClampPercent(int v) {
    return std::clamp(v, 0, 100);
}

const QColor kBackground(0, 0, 0);
const QColor kGrid(128, 128, 128);
const QColor kBaseLine(255, 255, 255);
}  // namespace

ScopeGraph::ScopeGraph(QWidget* parent) : QWidget(parent) {
    // Every pixel is painted, so Qt need not erase first (less flicker at each sample).
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

void ScopeGraph::AddSample(int channel, int value) {
    if (!ValidChannel(channel)) return;
    auto& s = samples_[channel];
    s.push_back(ClampPercent(value));
    while (s.size() > static_cast<size_t>(kHistory)) s.pop_front();
    update();
}

const std::deque<int>& ScopeGraph::Samples(int channel) const {
    return ValidChannel(channel) ? samples_[channel] : kNoSamples;
}

void ScopeGraph::SetChannelVisible(int channel, bool visible) {
    if (!ValidChannel(channel) || visible_[channel] == visible) return;
    visible_[channel] = visible;
    update();
}

bool ScopeGraph::ChannelVisible(int channel) const {
    return ValidChannel(channel) && visible_[channel];
}

void ScopeGraph::SetBaseLine(int percent) {
    percent = ClampPercent(percent);
    if (percent == baseLine_) return;
    baseLine_ = percent;
    update();
}

void ScopeGraph::SetActive(bool active) {
    if (active == active_) return;
    active_ = active;
    update();
}

int ScopeGraph::BaseLineY(int height, int percent) {
    // The division comes first, as the drawing always did; with long double the halves that
    // decide the ties are exact for every height a screen can have.
    const long double scaled = static_cast<long double>(height) / 100.0L * percent;
    return height - static_cast<int>(std::nearbyintl(scaled)) - 1;
}

int ScopeGraph::SampleY(int height, int value) {
    const int span = std::max(height - 1, 0);
    const long double scaled = static_cast<long double>(span) * ClampPercent(value) / 100.0L;
    return span - static_cast<int>(std::nearbyintl(scaled));
}

QColor ScopeGraph::ChannelColour(int channel) {
    switch (channel) {
        case 0:
            return QColor(0, 255, 0);  // free RAM
        case 1:
            return QColor(255, 0, 0);  // used RAM
        case 2:
            return QColor(255, 255, 0);  // processor load
        default:
            return QColor(255, 255, 255);
    }
}

void ScopeGraph::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width(), h = height();
    p.fillRect(rect(), kBackground);

    // The grid is anchored to the widget, not to the samples: it stands still while the
    // traces scroll through it.
    p.setPen(QPen(kGrid, 0, Qt::DotLine));
    for (int x = 0; x < w; x += kGridSize) p.drawLine(x, 0, x, h - 1);
    for (int y = 0; y < h; y += kGridSize) p.drawLine(0, y, w - 1, y);

    if (!active_) return;

    p.setPen(QPen(kBaseLine, 1));
    const int by = BaseLineY(h, baseLine_);
    p.drawLine(0, by, w - 1, by);

    for (int c = 0; c < kChannels; ++c) {
        if (!visible_[c] || samples_[c].empty()) continue;
        const auto& s = samples_[c];
        // Newest at the right edge, each older sample one pixel further left; what falls off
        // the left edge is not drawn.
        const int n = std::min<int>(static_cast<int>(s.size()), w);
        QPolygon line;
        line.reserve(n);
        for (int i = 0; i < n; ++i) {
            const int value = s[s.size() - 1 - static_cast<size_t>(i)];
            line << QPoint(w - 1 - i, SampleY(h, value));
        }
        p.setPen(QPen(ChannelColour(c), 1));
        p.drawPolyline(line);
        // A polyline leaves out its last point; the oldest sample shown must still show.
        p.drawPoint(line.back());
    }
}

}  // namespace orp
