// SPDX-FileCopyrightText: 2026 Markwerk-Entwicklerteam
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's own file dialogs, driven offscreen: they tell a file's type by
// its name and keep answering in folders whose files never answer.

#include "gui.h"
#include "hilfen.h"
#include "rueckfragen.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <sys/inotify.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

namespace {

// Ends the process when the window's thread has not come back in time: a
// dialog that hangs would hang the test too.
class Zeitgrenze
{
public:
    explicit Zeitgrenze(std::chrono::seconds grenze, const char *was)
        : m_waechter([this, grenze, was] {
            std::unique_lock sperre(m_mutex);
            if (!m_ende.wait_for(sperre, grenze, [this] { return m_fertig; })) {
                std::fprintf(stderr, "FAIL: %s antwortet nach %lld s nicht\n", was, static_cast<long long>(grenze.count()));
                std::_Exit(1);
            }
        })
    {
    }
    ~Zeitgrenze()
    {
        {
            const std::lock_guard sperre(m_mutex);
            m_fertig = true;
        }
        m_ende.notify_one();
        m_waechter.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_ende;
    bool m_fertig = false;
    std::thread m_waechter;
};

} // namespace

class TestDateidialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void artNachNamen();
    void procAntwortet();
};

void TestDateidialog::artNachNamen()
{
    // A definition file whose first bytes a content check takes for a PCX
    // picture: its type comes from its name, and no file is opened to find it.
    QTemporaryDir dir;
    QVERIFY(hilfen::schreib(dir.filePath(QStringLiteral("seite.htd")), QByteArray("\x0a\x05\x01\x08\0\0\0\0", 8)));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("ordner")));
    const int beobachter = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    QVERIFY(beobachter >= 0);
    QVERIFY(::inotify_add_watch(beobachter, QFile::encodeName(dir.path()).constData(), IN_OPEN | IN_ACCESS) >= 0);

    QStringList arten;
    gui::beiModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        QVERIFY(dialog);
        dialog->setDirectory(dir.path());
        auto *modell = dialog->findChild<QFileSystemModel *>();
        QVERIFY(modell);
        for (const QString &name : {QStringLiteral("seite.htd"), QStringLiteral("ordner")}) {
            const QString pfad = dir.filePath(name);
            QTRY_VERIFY(!modell->index(pfad, 2).data().toString().isEmpty());
            arten << modell->index(pfad, 2).data().toString();
        }
    });
    Dialogrueckfragen().dateiOffnen(nullptr);
    QCOMPARE(arten, (QStringList{QStringLiteral("Hypertextdefinition"), QStringLiteral("Ordner")}));

    QStringList geoeffnet;
    alignas(inotify_event) char puffer[4096];
    for (ssize_t n; (n = ::read(beobachter, puffer, sizeof puffer)) > 0;) {
        for (ssize_t i = 0; i < n;) {
            const auto *e = reinterpret_cast<const inotify_event *>(puffer + i);
            if (e->len > 0 && !(e->mask & IN_ISDIR))
                geoeffnet << QFile::decodeName(e->name);
            i += ssize_t(sizeof(inotify_event) + e->len);
        }
    }
    ::close(beobachter);
    QCOMPARE(geoeffnet, QStringList());
}

void TestDateidialog::procAntwortet()
{
    // As root, /proc/kmsg gives nothing until the kernel writes: a dialog
    // reading it to describe it would never come back.
    bool inProc = false;
    gui::beiModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        QVERIFY(dialog);
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        auto *modell = dialog->findChild<QFileSystemModel *>();
        QVERIFY(name && modell);
        const Zeitgrenze grenze(std::chrono::seconds(10), "Der Dateidialog in /proc");
        QTest::keyClicks(name, QStringLiteral("/proc"));
        // The first Return takes the completion the list offers.
        if (name->completer() && name->completer()->popup()->isVisible())
            QTest::keyClick(name->completer()->popup(), Qt::Key_Return);
        QTest::keyClick(name, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(dialog->directory().path(), QStringLiteral("/proc"), 1000);
        QTRY_VERIFY_WITH_TIMEOUT(!modell->index(QStringLiteral("/proc/kmsg"), 2).data().toString().isEmpty(), 1000);
        inProc = true;
    });
    Dialogrueckfragen().dateiSpeichern(nullptr);
    QVERIFY(inProc);
}

MARKWERK_GUI_TEST(TestDateidialog)
#include "tst_dateidialog.moc"
