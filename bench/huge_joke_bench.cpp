// What a joke of megabytes costs the window: loading and showing it, drawing the next pick, a
// plain repaint; then the same label given the whole joke instead, and whether it looks the same.
//
// Usage: farlous_huge_joke_bench (on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise)
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/platform.h"
#include "window/qt/tip_window.h"

namespace {

double Milliseconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void Measure(const char* name, const std::string& joke, const QString& path) {
    std::ofstream(path.toStdString(), std::ios::binary) << joke << "\r\n";
    const auto platform = farlous::SystemPlatform();
    farlous::frmTip form(*platform);
    farlous::QtTipWindow window(form);
    window.show();
    QApplication::processEvents();
    auto* label = window.findChild<QLabel*>("lblTipText");

    QElapsedTimer timer;
    timer.start();
    form.LoadTips(path.toStdString());
    label->repaint();
    const double loadAndShow = Milliseconds(timer);

    timer.start();
    window.findChild<QPushButton*>("cmdNextTip")->click();
    label->repaint();
    const double next = Milliseconds(timer);

    timer.start();
    label->repaint();
    const double repaint = Milliseconds(timer);
    const QImage shown = label->grab().toImage();

    timer.start();
    label->setText(QString::fromUtf8(joke.data(), qsizetype(joke.size())));
    label->repaint();
    const double whole = Milliseconds(timer);
    const bool same = label->grab().toImage() == shown;

    std::printf(
        "%-18s load and show %6.1f ms | next joke %5.1f ms | repaint %5.1f ms | whole joke "
        "to the label %7.1f ms, looks %s\n",
        name, loadAndShow, next, repaint, whole, same ? "the same" : "DIFFERENT");
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir folder;
    const QString path = folder.filePath("FARLOUS.TXT");

    constexpr std::size_t kSize = 10'000'000;
    std::string words;
    for (int i = 0; words.size() < kSize; ++i) words += i % 7 ? "blague " : "farlous ";
    Measure("1 MB, no spaces", std::string(kSize / 10, 'x'), path);
    Measure("10 MB, no spaces", std::string(kSize, 'x'), path);
    Measure("10 MB of words", words, path);
    // A long word on each line the label shows, then words that would show below them.
    std::string longWords;
    for (int i = 0; longWords.size() < kSize / 2; ++i) {
        longWords += std::string(50'000, 'a' + i % 26) + (i < 10 ? " " : " court ");
    }
    Measure("5 MB, long words", longWords, path);
    std::printf(
        "Qt breaks a word wider than 2^23 pixels as if it could wrap anywhere (an overflow of its "
        "own):\nthere the whole joke looks different from the one clipped line that the cut "
        "keeps.\n");
}
