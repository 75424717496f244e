// A drag source for the acceptance tests: its window starts dragging the
// files named on the command line when the mouse is pressed on it, as a file
// manager does, so that a drop travels through the window system's own
// drag-and-drop protocol. Copy, move and link are offered; the action the
// target chose ("copy", "move", "link" or "none") is printed once the files
// are dropped. It stays a while after the drop, out of sight, because the
// target asks for the dropped data only then.
// Usage: drag-source <path or URL>...
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace {

const char* ActionName(Qt::DropAction action)
{
    switch (action) {
    case Qt::CopyAction: return "copy";
    case Qt::MoveAction: return "move";
    case Qt::LinkAction: return "link";
    default: return "none";
    }
}

class DragSource final : public QWidget {
public:
    explicit DragSource(QList<QUrl> urls) : urls_(std::move(urls))
    {
        setWindowTitle(QStringLiteral("drag-source"));
        resize(100, 100);
    }

protected:
    void mousePressEvent(QMouseEvent*) override
    {
        auto* files = new QMimeData;
        files->setUrls(urls_);
        auto* drag = new QDrag(this);
        drag->setMimeData(files);
        const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::MoveAction);
        std::printf("%s\n", ActionName(action));
        std::fflush(stdout);
        hide();
        QTimer::singleShot(10000, qApp, &QApplication::quit);
    }

private:
    QList<QUrl> urls_;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QList<QUrl> urls;
    for (const QString& argument : application.arguments().mid(1))
        urls.append(argument.contains(QStringLiteral("://")) ? QUrl(argument) : QUrl::fromLocalFile(argument));
    DragSource source(urls);
    source.show();
    return application.exec();
}
