#pragma once
// The pane of one connection: what the connection is doing and a thumbnail
// of the picture it downloaded last.

#include <QGroupBox>
#include <array>

class QLabel;

namespace gleanery {

inline constexpr int kPaneCount = 10;

class ConnectionPane : public QGroupBox {
    Q_OBJECT
public:
    ConnectionPane(int slot, QWidget* parent);

    QLabel& lblConnection() { return *text_; }
    // Shows what the engine says the connection does. An address, which the
    // engine breaks after every 18 characters, is shown whole on one line,
    // elided in the middle to the pane's width, with all of it as a tip.
    void showActivity(const QString& text);
    QLabel& fxDisp() { return *picture_; }
    // Loads the file scaled into the picture and shows it; a file that is not
    // a picture leaves the picture empty.
    void showThumbnail(const QString& file);

private:
    QLabel* text_;
    QLabel* picture_;
};

// Two columns of five panes, connection 1 to 5 on the left.
void placeConnectionPanes(const std::array<ConnectionPane*, kPaneCount>& panes);

}  // namespace gleanery
