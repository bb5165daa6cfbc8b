#pragma once
// The scrolling three-channel graph of the Monitor page. It has no timer of its own: the picture
// moves only when the usage refresh adds a sample, so a stalled refresh shows as a frozen graph.
#include <QColor>
#include <QWidget>
#include <array>
#include <deque>

namespace orp {

class ScopeGraph : public QWidget {
    Q_OBJECT
public:
    static constexpr int kChannels = 3, kHistory = 999, kGridSize = 12;
    static constexpr int kDesignBaseLine = 70;

    explicit ScopeGraph(QWidget* parent = nullptr);

    // Values are percentages; anything outside 0..100 is pulled to the nearer end. A channel
    // number outside 0..kChannels-1 is ignored. The oldest sample goes once kHistory are kept.
    void AddSample(int channel, int value);
    // An unknown channel reads as an empty history.
    const std::deque<int>& Samples(int channel) const;

    // Hidden channels keep receiving samples, so showing one brings back its whole history.
    void SetChannelVisible(int channel, bool visible);
    bool ChannelVisible(int channel) const;

    // The white line at the target percentage; clamped to 0..100 like a sample.
    void SetBaseLine(int percent);
    int BaseLine() const { return baseLine_; }

    // Samples are recorded either way; an inactive graph draws only its background and grid,
    // so nothing half-initialised shows before start-up has finished.
    void SetActive(bool active);
    bool Active() const { return active_; }

    // Pixel row of the base line: height - round(height / 100 * percent) - 1, rounded to the
    // nearest with ties to even in extended precision, like every other rounding of the program.
    static int BaseLineY(int height, int percent);
    // Pixel row of a sample: 100 % on the top row, 0 % on the bottom row.
    static int SampleY(int height, int value);
    static QColor ChannelColour(int channel);

    QSize sizeHint() const override { return {400, 200}; }
    QSize minimumSizeHint() const override { return {kGridSize * 4, kGridSize * 4}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static bool ValidChannel(int channel) { return channel >= 0 && channel < kChannels; }

    std::array<std::deque<int>, kChannels> samples_;
    std::array<bool, kChannels> visible_{true, true, true};
    int baseLine_ = kDesignBaseLine;
    bool active_ = false;
};

}  // namespace orp
