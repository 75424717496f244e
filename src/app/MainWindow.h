#pragma once

#include "controls/DialogBuilder.h"
#include "media/ClipState.h"
#include "settings/ConversionSettings.h"

#include <QDialog>
#include <QPixmap>
#include <QTimer>

#include <cstdint>
#include <memory>

struct AppServices;
class ConversionJob;
struct ConversionOutcome;
class ConversionPresenter;
struct ConversionProgress;
class FrameGrabberCallback;
class PreviewPlayer;
class QSlider;

// Control and command ids of the main window (template 102).
enum MainWindowId : int {
    kIdConvert = 1000,
    kIdOptions = 1003,
    kIdOpenVideo = 1006,
    kIdStatusLine = 1021,
    kIdAbout = 1042,
    kIdHomepage = 1047,
    kIdSeekBar = 1055,
    kIdCloseClip = 1056, // hidden button; its command runs when the preview window closes
    kIdPositionBox = 1057,
    kIdPlay = 1058,
    kIdPause = 1060,
    kIdStop = 1061,
    kIdStartTime = 1062,
    kIdEndTime = 1063,
    kIdEndTimeBox = 1064,
    kIdStartTimeBox = 1065,
    kIdExit = 1076,
    kIdHelp = 1084,
    kIdProgressBar = 1101,  // shown while converting
    kIdPicturesBox = 1102,  // pictures written of those expected, then of the last conversion
    kIdOpenFolder = 1103,   // opens the folder of the last conversion's pictures
    kIdTimeLeftBox = 1104,  // shown while converting
    kCommandHelpKey = 57670, // F1
    kCommandPopupAbout = 32778,
    kCommandPopupFont = 32781,
};

inline constexpr int kSeekBarSteps = 600;

// The program's main window, run in its own loop by the application. It
// holds the clip and the output options, routes every command through one
// table and keeps the controls' enabled state in step with what is open or
// running. Exit, the close box, Alt+F4 and Escape all go through its close
// handler.
class MainWindow final : public QDialog {
    Q_OBJECT

public:
    explicit MainWindow(AppServices& services, QWidget* parent = nullptr);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Runs a command as the window's controls, menus and keys do; false for
    // an id without handler. Language commands are seen first.
    bool OnCommand(int id);

    // Convert, seek bar, Play, Pause, Stop, Start Time, End Time and the two time boxes.
    void EnablePlaybackControls();
    void DisablePlaybackControls();
    void SetStatusText(const QString& text);
    QString StatusText() const;

    PreviewPlayer* Player() const { return player_.get(); }
    // Opens a clip as Open Video does once the file is chosen.
    void OpenClip(const QString& path);

    const DialogControls& Controls() const { return controls_; }
    // While the job converts, Open Video, Options, Start Time and End Time are
    // disabled, Convert reads "Stop" and closing is refused.
    bool IsConverting() const;
    const QString& TemporaryBitmap() const { return temporaryBitmap_; }
    // help/Introduction.htm beside the program, in its parent folder or installed.
    static QString HelpFile();

public Q_SLOTS:
    // The close handler.
    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    using Handler = void (MainWindow::*)();
    struct Command {
        int id;
        Handler handler;
    };
    static const Command kCommands[];

    // Initialisation, in its order.
    void InitDialog();
    void ConnectControls();
    static void JumpToClicks(QSlider& seekBar);
    void CreateConversionJob();
    void EnterConvertingState();
    void LeaveConvertingState();
    void ShowPreview();
    void ClosePreview();
    void SetupIconButtons();
    void HideSlideshowControls();
    void ResetPlaybackControls();
    bool CloseHandler();
    void ShowLanguageMenu(const QPoint& position);
    bool HandleDrag(QDropEvent* event);
    void ShowProgress(const ConversionProgress& progress);
    void ShowPicturesWritten(std::int64_t count, bool rangeDone);
    void OnConversionFinished(const ConversionOutcome& outcome);
    ConversionPresenter Presenter();
    void HideConversionResult();

    // Commands of this window.
    void OnHelp();
    void OnHomepage();
    void OnAbout();
    void OnExit();
    void OnFont();
    void OnOpenFolder();

    // Commands of the clip, the playback and the conversion; they act on what
    // is open now and are completed where the clip, the preview player and
    // the conversion job live (MainWindowPlayback.cpp).
    void OnOpenVideo();
    void OnOptions();
    void OnConvert();
    void OnPlay();
    void OnPause();
    void OnStop();
    void OnStartTime();
    void OnEndTime();
    void OnSeekReleased();
    void OnCloseClip();
    void OnPositionRefresh();
    void RequestMark(bool& pending);
    void TakePendingMarks();
    void SetMark(MediaTime& mark, int box, MediaTime position);
    void ShowMarkTooltips();

    void SetControlEnabled(int id, bool enabled);
    void SetBoxText(int id, const QString& text);
    void SetPlaybackControls(bool enabled);

    AppServices& services_;
    DialogControls controls_;
    QPixmap backgroundBitmap;
    ConversionSettings settings_;
    ClipState clip_;
    int seekPos = 0;
    QString temporaryBitmap_;
    std::unique_ptr<PreviewPlayer> player_;
    // Marks asked for while a seek or a step had not landed, and a Convert
    // asked for after them; they are done once its picture is on screen.
    struct PendingMarks {
        bool start = false;
        bool end = false;
        bool convert = false;
    };
    PendingMarks pendingMarks_;
    // One frame sampler serves every conversion of the run.
    std::unique_ptr<FrameGrabberCallback> sampler_;
    std::unique_ptr<ConversionJob> job_;
    QString picturesFolder_; // where the last conversion wrote
    QTimer fullBarShown_;    // the filled bar stays a moment after the end, then goes
};
