// Work on another thread ends with its kind kept: a cancel, a refusal, a database error and a
// fault of the program each reach the window's thread as what they are, in Chinese; a library's
// English text never reaches the user.
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <new>
#include <optional>
#include <stdexcept>

#include "support/TempDatabase.h"
#include "common/UserError.h"
#include "db/DbError.h"
#include "engine/DivisionRun.h"
#include "gui/shared/BackgroundJob.h"
#include "store/StudentTable.h"

using namespace qm;

Q_DECLARE_METATYPE(std::function<void()>)
Q_DECLARE_METATYPE(gui::JobFailure::Kind)

class TestBackgroundJob : public QObject {
    Q_OBJECT

  private slots:
    void failuresKeepTheirKind_data();
    void failuresKeepTheirKind();
    void successEndsWithoutFailure();
};

void TestBackgroundJob::failuresKeepTheirKind_data() {
    QTest::addColumn<std::function<void()>>("raise");
    QTest::addColumn<gui::JobFailure::Kind>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("cancel") << std::function<void()>([] { throw engine::DivisionCancelled(); })
                            << gui::JobFailure::Kind::Cancelled
                            << QStringLiteral("分班已取消，数据没有改变");
    QTest::newRow("refusal") << std::function<void()>([] { throw store::NoStudents(); })
                             << gui::JobFailure::Kind::Refused
                             << QStringLiteral("该分班项目还没有学生数据");
    QTest::newRow("memory") << std::function<void()>([] { throw std::bad_alloc(); })
                            << gui::JobFailure::Kind::Refused
                            << QString::fromUtf8(kOutOfMemoryMessage);
    QTest::newRow("database") << std::function<void()>([] {
        throw db::DbError("数据库文件只能读取，无法写入", 8);
    }) << gui::JobFailure::Kind::Database << QStringLiteral("数据库文件只能读取，无法写入");
    QTest::newRow("fault") << std::function<void()>([] {
        throw std::out_of_range("vector::_M_range_check");
    }) << gui::JobFailure::Kind::Unexpected << QStringLiteral("程序出现了意外的错误，操作没有完成");
}

void TestBackgroundJob::failuresKeepTheirKind() {
    QFETCH(std::function<void()>, raise);
    QFETCH(gui::JobFailure::Kind, kind);
    QFETCH(QString, message);
    test::TempDatabase database;
    gui::BackgroundJob job;
    std::optional<std::optional<gui::JobFailure>> ended;
    QVERIFY(job.start(
        database.path(), [raise](db::Connection&, gui::BackgroundJob&) { raise(); },
        [&](const std::optional<gui::JobFailure>& failure) { ended = failure; }));
    QTRY_VERIFY(ended.has_value());
    QVERIFY(ended->has_value());
    const gui::JobFailure& failure = **ended;
    QCOMPARE(failure.kind, kind);
    QCOMPARE(failure.message, message);
    // The exception itself comes along, for a caller that decides by its type.
    QCOMPARE(failure.is<store::NoStudents>(), QByteArray(QTest::currentDataTag()) == "refusal");
    QCOMPARE(failure.is<UserError>(), kind == gui::JobFailure::Kind::Cancelled ||
                                          QByteArray(QTest::currentDataTag()) == "refusal");
}

void TestBackgroundJob::successEndsWithoutFailure() {
    test::TempDatabase database;
    gui::BackgroundJob job;
    bool ended = false;
    std::optional<gui::JobFailure> failure;
    QVERIFY(job.start(
        database.path(), [](db::Connection&, gui::BackgroundJob&) {},
        [&](const std::optional<gui::JobFailure>& result) {
            failure = result;
            ended = true;
        }));
    QTRY_VERIFY(ended);
    QVERIFY(!failure.has_value());
}

QTEST_MAIN(TestBackgroundJob)
#include "TestBackgroundJob.moc"
