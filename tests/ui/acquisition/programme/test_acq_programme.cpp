// The real programs under a private X server: vyk2 with a fresh user folder
// and vyk2-sim logging what the interface receives; keys come from xdotool
// as a user's would.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <functional>

namespace {

const QString vyk2 = VYK2_BINARY_DIR "/src/app/vyk2";
const QString vyk2sim = VYK2_BINARY_DIR "/src/sim/app/vyk2-sim";

QStringList lignes(const QString& fichier) {
  QFile f(fichier);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
}

bool attends(const std::function<bool()>& condition, int ms = 20000) {
  const QDeadlineTimer fin(ms);
  while (!condition()) {
    if (fin.hasExpired()) return false;
    QThread::msleep(20);
  }
  return true;
}

QStringList commandes(const QString& journal) {
  QStringList c;
  for (const QString& l : lignes(journal)) c << l.section(' ', 1);
  return c;
}

// `attendu` in this order from index `depuis` on (other lines may come between).
bool dansLOrdre(const QStringList& liste, const QStringList& attendu, qsizetype depuis = 0) {
  qsizetype i = 0;
  for (qsizetype k = depuis; k < liste.size(); ++k)
    if (i < attendu.size() && liste[k] == attendu[i]) ++i;
  return i == attendu.size();
}

QString sansWEA(const QStringList& l) {
  QStringList r;
  for (const QString& c : l)
    if (!c.startsWith("WEA")) r << c;
  return r.join(" | ");
}

class AcquisitionProgramme : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty() ||
        QStandardPaths::findExecutable("xdotool").isEmpty())
      GTEST_SKIP() << "Xvfb and xdotool are needed to type into the window";
    ASSERT_TRUE(tmp.isValid());
    for (const char* d : {"home", "config", "xdg", "tmp", "ports", "run", "data"})
      QDir(tmp.path()).mkpath(d);
    QFile::setPermissions(tmp.filePath("run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // A free display: the first number whose socket does not exist yet.
    for (int n = 300 + int(QCoreApplication::applicationPid() % 400); n < 1000; ++n) {
      if (QFileInfo::exists(QString("/tmp/.X11-unix/X%1").arg(n)) ||
          QFileInfo::exists(QString("/tmp/.X%1-lock").arg(n)))
        continue;
      affichage = QString(":%1").arg(n);
      xvfb.start("Xvfb", {affichage, "-screen", "0", "1280x900x24", "-nolisten", "tcp"});
      ASSERT_TRUE(xvfb.waitForStarted(5000));
      if (attends([&] { return QFileInfo::exists(QString("/tmp/.X11-unix/X%1").arg(n)); }, 5000))
        break;
      xvfb.kill();
      xvfb.waitForFinished(2000);
    }
    ASSERT_EQ(xvfb.state(), QProcess::Running);
    env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", tmp.filePath("home"));
    env.insert("XDG_CONFIG_HOME", tmp.filePath("config"));
    env.insert("XDG_CONFIG_DIRS", tmp.filePath("xdg"));
    env.insert("XDG_DATA_HOME", tmp.filePath("data"));
    env.insert("TMPDIR", tmp.filePath("tmp"));
    env.insert("XDG_RUNTIME_DIR", tmp.filePath("run"));
    env.insert("VYK2_PORTS_DIR", tmp.filePath("ports"));
    env.insert("DISPLAY", affichage);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.remove("WAYLAND_DISPLAY");
  }
  void TearDown() override {
    for (QProcess* p : {&programme, &sim, &xvfb}) {
      if (p->state() != QProcess::NotRunning) {
        p->terminate();
        if (!p->waitForFinished(5000)) {
          p->kill();
          p->waitForFinished(2000);
        }
      }
    }
  }
  // xdotool with the test's display.
  bool xdotool(const QStringList& args) {
    QProcess x;
    x.setProcessEnvironment(env);
    x.start("xdotool", args);
    return x.waitForFinished(10000) && x.exitCode() == 0;
  }
  bool touches(const QStringList& keys) {
    // Real key events (XTEST) to the focused window; events sent to a window
    // directly are synthetic and Qt ignores some of them.
    xdotool({"windowfocus", "--sync", fenetre});
    QStringList a{"key", "--delay", "40"};
    return xdotool(a + keys);
  }

  QTemporaryDir tmp;
  QProcessEnvironment env;
  QString affichage;
  QString fenetre;
  QProcess xvfb, sim, programme;
};

TEST_F(AcquisitionProgramme, BarreDEspacePuisReglagesTapes) {
  const QString journal = tmp.filePath("L");
  sim.setProcessEnvironment(env);
  sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  sim.start(vyk2sim, {"--com", "1", "--ports-dir", tmp.filePath("ports"), "--log", journal,
                      "--input", "10=sine:amp=3,off=0,freq=2"});
  ASSERT_TRUE(sim.waitForStarted(5000));
  ASSERT_TRUE(attends([&] { return QFileInfo::exists(tmp.filePath("ports/COM1")); }));

  const QString trace = tmp.filePath("trace");
  QProcessEnvironment e = env;
  e.insert("VYK2_TRACE", trace);
  programme.setProcessEnvironment(e);
  programme.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  programme.start(vyk2, {});
  ASSERT_TRUE(programme.waitForStarted(5000));

  // Armed: the interface answered and the live values are polled.
  ASSERT_TRUE(attends([&] { return lignes(trace).contains("statut 0: Brixo VYK II présente"); }))
      << lignes(trace).join(" | ").toStdString();
  ASSERT_TRUE(attends([&] { return commandes(journal).count("WEA 10") >= 2; }));
  ASSERT_TRUE(attends([&] {
    QProcess x;
    x.setProcessEnvironment(env);
    x.start("xdotool", {"search", "--onlyvisible", "--pid",
                        QString::number(programme.processId())});
    x.waitForFinished(5000);
    fenetre = QString::fromUtf8(x.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts).value(0);
    return !fenetre.isEmpty();
  }));
  xdotool({"windowfocus", "--sync", fenetre});

  ASSERT_TRUE(touches({"space"}));
  ASSERT_TRUE(attends([&] {
    return dansLOrdre(commandes(journal), {"WPE 2 128 7810 1 10 11", "WGOR"});
  })) << sansWEA(commandes(journal)).toStdString();
  ASSERT_TRUE(attends([&] {
    const QStringList t = lignes(trace);
    return t.contains("statut 0: Acquisition terminée") && t.contains("graphe: 128 points");
  })) << lignes(trace).join(" | ").toStdString();

  // The duration and the point count typed in the "Balayage" group.
  const qsizetype avant = commandes(journal).size();
  ASSERT_TRUE(touches({"alt+d", "ctrl+a"}));
  ASSERT_TRUE(xdotool({"type", "--delay", "40", "0.1s"}));
  ASSERT_TRUE(touches({"Return", "alt+n", "ctrl+a"}));
  ASSERT_TRUE(xdotool({"type", "--delay", "40", "1000"}));
  ASSERT_TRUE(touches({"Return"}));
  // No sweep was started by the typing.
  ASSERT_TRUE(attends([&] { return commandes(journal).mid(avant).count("WEA 10") >= 1; }));
  EXPECT_EQ(commandes(journal).mid(avant).filter("WGO").size(), 0)
      << sansWEA(commandes(journal).mid(avant)).toStdString();
  ASSERT_TRUE(touches({"space"}));
  ASSERT_TRUE(attends([&] {
    return dansLOrdre(commandes(journal), {"WPE 2 1000 100 1 10 11", "WGOR"}, avant);
  })) << sansWEA(commandes(journal).mid(avant)).toStdString();
  ASSERT_TRUE(attends([&] { return lignes(trace).contains("graphe: 1000 points"); }))
      << lignes(trace).join(" | ").toStdString();

  // Closing during a long sweep stops it before the reset.
  ASSERT_TRUE(touches({"alt+d", "ctrl+a"}));
  ASSERT_TRUE(xdotool({"type", "--delay", "40", "20s"}));
  ASSERT_TRUE(touches({"Return", "space"}));
  const qsizetype lance = commandes(journal).size();
  ASSERT_TRUE(attends([&] { return commandes(journal).mid(lance).contains("WGOR"); }))
      << sansWEA(commandes(journal).mid(avant)).toStdString();
  ASSERT_TRUE(attends([&] { return lignes(trace).last().startsWith("graphe:"); }));
  programme.terminate();
  ASSERT_TRUE(programme.waitForFinished(10000));
  ASSERT_TRUE(attends([&] { return commandes(journal).mid(lance).contains("WRESET"); }));
  EXPECT_TRUE(dansLOrdre(commandes(journal), {"WGOR", "WPE", "WRESET"}, lance))
      << sansWEA(commandes(journal).mid(lance)).toStdString();
}

}  // namespace
