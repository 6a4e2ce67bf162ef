// The real programs, as a user or a script starts them: vyk2 on the offscreen
// platform and vyk2-sim publishing the simulated interface on a pty.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
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

// Polls until `condition` holds or the time is up.
bool attends(const std::function<bool()>& condition, int ms = 20000) {
  const QDeadlineTimer fin(ms);
  while (!condition()) {
    if (fin.hasExpired()) return false;
    QThread::msleep(10);
  }
  return true;
}

// The command texts of a vyk2-sim log ("<time> <text>" lines).
QStringList commandes(const QString& journal) {
  QStringList c;
  for (const QString& l : lignes(journal)) c << l.section(' ', 1);
  return c;
}

// `attendu` appears in `liste` in this order (other lines may come between).
bool dansLOrdre(const QStringList& liste, const QStringList& attendu) {
  qsizetype i = 0;
  for (const QString& l : liste)
    if (i < attendu.size() && l == attendu[i]) ++i;
  return i == attendu.size();
}

class Programme : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp.isValid());
    for (const char* d : {"home", "config", "xdg", "tmp", "ports", "run"}) QDir(tmp.path()).mkpath(d);
    QFile::setPermissions(tmp.filePath("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", tmp.filePath("home"));
    env.insert("XDG_CONFIG_HOME", tmp.filePath("config"));
    env.insert("XDG_CONFIG_DIRS", tmp.filePath("xdg"));
    env.insert("TMPDIR", tmp.filePath("tmp"));  // keeps the instances of this test apart
    env.insert("XDG_RUNTIME_DIR", tmp.filePath("run"));
    env.insert("VYK2_PORTS_DIR", tmp.filePath("ports"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
  }
  void TearDown() override {
    for (QProcess* p : {&sim, &a, &b}) {
      if (p->state() != QProcess::NotRunning) {
        p->kill();
        p->waitForFinished(5000);
      }
    }
  }
  void lance(QProcess& p, const QString& trace, const QStringList& args = {}) {
    QProcessEnvironment e = env;
    e.insert("VYK2_TRACE", trace);
    p.setProcessEnvironment(e);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(vyk2, args);
    ASSERT_TRUE(p.waitForStarted(5000));
  }
  bool contient(const QString& fichier, const QString& ligne) {
    return lignes(fichier).contains(ligne);
  }

  QTemporaryDir tmp;
  QProcessEnvironment env;
  QProcess sim, a, b;
};

TEST_F(Programme, TrouveLInterfaceSimuleeSurCom3) {
  const QString journal = tmp.filePath("L");
  sim.setProcessChannelMode(QProcess::ForwardedChannels);
  sim.start(vyk2sim, {"--com", "3", "--ports-dir", tmp.filePath("ports"), "--log", journal});
  ASSERT_TRUE(sim.waitForStarted(5000));
  ASSERT_TRUE(attends([&] { return QFileInfo::exists(tmp.filePath("ports/COM3")); }));

  const QString trace = tmp.filePath("trace");
  lance(a, trace);
  ASSERT_TRUE(attends([&] { return contient(trace, "statut 0: Brixo VYK II présente"); }))
      << lignes(trace).join(" | ").toStdString();
  ASSERT_TRUE(attends([&] {
    return dansLOrdre(commandes(journal), {"WVERSION", "WRESET", "WBIN", "WBAUDS 1"});
  })) << commandes(journal).join(" | ").toStdString();
  EXPECT_FALSE(contient(trace, "BrixoAbsent: visible"));

  // Closing (here at the end of the session) resets the interface and keeps
  // the port in the user's settings.
  a.terminate();
  ASSERT_TRUE(a.waitForFinished(10000));
  EXPECT_EQ(a.exitStatus(), QProcess::NormalExit);
  ASSERT_TRUE(attends([&] {
    return dansLOrdre(commandes(journal), {"WVERSION", "WRESET", "WBIN", "WBAUDS 1", "WRESET"});
  })) << commandes(journal).join(" | ").toStdString();
  QSettings cle(tmp.filePath("config/VYK2/vyk2.ini"), QSettings::IniFormat);
  EXPECT_EQ(cle.value("COM/Num").toString(), "3");
  EXPECT_TRUE(cle.contains("Window/Width"));
}

TEST_F(Programme, SansPortLePanneauBrixoAbsent) {
  const QString trace = tmp.filePath("trace");
  lance(a, trace);
  ASSERT_TRUE(attends([&] { return contient(trace, "BrixoAbsent: visible"); }))
      << lignes(trace).join(" | ").toStdString();
  bool nonDetectee = false;
  for (const QString& l : lignes(trace))
    nonDetectee |= l.startsWith("statut 0: Brixo VYK II non détectée sur COM");
  EXPECT_TRUE(nonDetectee) << lignes(trace).join(" | ").toStdString();
  EXPECT_FALSE(contient(trace, "statut 0: Brixo VYK II présente"));
}

TEST_F(Programme, UneSeuleInstance) {
  const QString traceA = tmp.filePath("traceA");
  const QString traceB = tmp.filePath("traceB");
  lance(a, traceA);
  ASSERT_TRUE(attends([&] { return contient(traceA, "BrixoAbsent: visible"); }));

  // A second start brings the first to the front and ends at once, silently.
  lance(b, traceB, {"--demo"});
  ASSERT_TRUE(b.waitForFinished(10000));
  EXPECT_EQ(b.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(b.exitCode(), 0);
  EXPECT_TRUE(lignes(traceB).isEmpty());
  EXPECT_TRUE(attends([&] { return contient(traceA, "premier plan"); }));

  // A crashed first instance does not block the next start.
  a.kill();
  ASSERT_TRUE(a.waitForFinished(5000));
  lance(b, traceB);
  EXPECT_TRUE(attends([&] { return contient(traceB, "BrixoAbsent: visible"); }))
      << lignes(traceB).join(" | ").toStdString();
}

}  // namespace
