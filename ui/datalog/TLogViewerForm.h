#pragma once

#include "datalog/TDatalogChannel.h"

#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class TDatalogColumns;
class TDatalogReader;
class TLogPlot;

// The log viewer: a window that plots every channel of one datalog over its whole length
// (TLogPlot), lists the channels with a box to show or hide each and its value at the cursor,
// names the control set in effect there, and says how many rows could not be read. The view
// exports to PNG and PDF.
//
// Open checks the file at once; its rows are then read in slices from the event loop, with a
// progress bar, so that the program answers while a long recording loads.
class TLogViewerForm : public QWidget {
    Q_OBJECT
public:
    using TId = TDatalogChannel::TId;

    explicit TLogViewerForm(QWidget* parent = nullptr);
    ~TLogViewerForm() override;

    // Starts reading `path`. False, with nothing loaded, when it is no datalog or cannot be
    // read; ErrorText then says why.
    bool Open(const QString& path);
    QString ErrorText() const { return FError; }
    QString Path() const { return FPath; }
    bool Loading() const { return FReader != nullptr; }
    // Reads what is left at once.
    void FinishLoading();
    // The rows read; null until the loading has finished.
    const TDatalogColumns* Log() const;

    TLogPlot* Plot() const { return FPlot; }
    QCheckBox* ChannelBox(TId channel) const { return FChannels[channel].box; }
    // The channel's value at the cursor, as the list shows it with its unit.
    QString ReadOut(TId channel) const;
    QString CursorText() const;
    QString ControlSetText() const;
    QString SummaryText() const;

    // Writes the view to a PNG or PDF file, by the name's suffix (PNG when it has none).
    bool ExportTo(const QString& path);
    void BExportClick();
    void BShowAllClick();

    // Seams for the export's file dialog and its error box.
    std::function<QString()> ChooseExportFile;
    std::function<void(const QString& message)> ShowError;

signals:
    void loaded();

private:
    struct TChannelRow {
        QCheckBox* box = nullptr;
        QLabel* value = nullptr;
    };

    void BuildWindow();
    void LoadSlice();
    void Loaded();
    void ShowCursor();
    void ShowSummary();

    QString FPath;
    QString FError;
    std::unique_ptr<TDatalogReader> FReader; // while loading
    std::unique_ptr<TDatalogColumns> FLoading;
    std::unique_ptr<TDatalogColumns> FLog;   // once loaded
    QTimer FSlices;

    TLogPlot* FPlot = nullptr;
    QProgressBar* FProgress = nullptr;
    QLabel* FCursorLabel = nullptr;
    QLabel* FControlSetLabel = nullptr;
    QLabel* FSummary = nullptr;
    QPushButton* FShowAll = nullptr;
    QPushButton* FExport = nullptr;
    std::array<TChannelRow, TDatalogChannel::kCount> FChannels;
    // What the reader told on the way, kept for the summary.
    int64_t FSkipped = 0;
    QString FSkipDetails;
    struct TControlSetMark {
        int64_t afterRow;
        QString text;
    };
    std::vector<TControlSetMark> FControlSets;
};
