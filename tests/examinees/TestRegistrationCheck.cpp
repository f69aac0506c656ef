#include "examinees/RegistrationCheck.h"

#include <QTest>

using Field = RegistrationCheck::Field;
Q_DECLARE_METATYPE(RegistrationCheck::Entry)

namespace {

// A complete entry; each row below changes what it needs.
RegistrationCheck::Entry complete()
{
    return {QStringLiteral("12"), QStringLiteral("Ali"), QStringLiteral("Ahmadi"), QStringLiteral("مرد"),
            QStringLiteral("30"), QStringLiteral("مجرد"), QStringLiteral("A"), QStringLiteral("Lisans")};
}

const QString kSexPrompt = QStringLiteral("جنسيت را انتخاب كنيد");
const QString kMaritalPrompt = QStringLiteral("وضعيت تأهل خود را مشخص کنيد");
const QString kGroupPrompt = QStringLiteral("گروه را مشخص کنيد");

} // namespace

class TestRegistrationCheck : public QObject {
    Q_OBJECT
private slots:
    void firstMissing_data();
    void firstMissing();
    void listTexts();
};

void TestRegistrationCheck::firstMissing_data()
{
    QTest::addColumn<RegistrationCheck::Entry>("entry");
    QTest::addColumn<int>("field"); // -1: nothing missing
    QTest::addColumn<QString>("message");

    const QString code = QStringLiteral("کد آزمودني را وارد کنيد");
    const QString firstName = QStringLiteral("نام آزمودني را وارد کنيد");
    const QString familyName = QStringLiteral("نام خانوادگي آزمودني را وارد کنيد");
    const QString sex = QStringLiteral("جنسيت آزمودني را مشخص کنيد");
    const QString age = QStringLiteral("سن آزمودني را وارد کنيد");
    const QString marital = QStringLiteral("وضعيت تاهل آزمودني را مشخص کنيد");
    const QString group = QStringLiteral("گروه را مشخص کنيد");
    const QString education = QStringLiteral("ميزان تحصيلات آزمودني را وارد کنيد");

    QTest::newRow("nothing typed") << RegistrationCheck::Entry{} << int(Field::Code) << code;
    {
        RegistrationCheck::Entry e;
        e.code = QStringLiteral("12");
        QTest::newRow("only the code") << e << int(Field::FirstName) << firstName;
    }
    QTest::newRow("complete") << complete() << -1 << QString();

    // One field missing at a time, in the checking order.
    auto without = [&](const char* row, auto change, Field field, const QString& message) {
        RegistrationCheck::Entry e = complete();
        change(e);
        QTest::newRow(row) << e << int(field) << message;
    };
    without("code empty", [](auto& e) { e.code.clear(); }, Field::Code, code);
    without("code of blanks", [](auto& e) { e.code = QStringLiteral("   "); }, Field::Code, code);
    without("code of a tab", [](auto& e) { e.code = QStringLiteral("\t"); }, Field::Code, code);
    without("code of invisible marks", [](auto& e) { e.code = QStringLiteral(" \u200F\u200B\uFEFF "); }, Field::Code,
            code);
    without("first name", [](auto& e) { e.firstName.clear(); }, Field::FirstName, firstName);
    without("family name", [](auto& e) { e.familyName.clear(); }, Field::FamilyName, familyName);
    without("sex erased", [](auto& e) { e.sex.clear(); }, Field::Sex, sex);
    without("sex prompt", [](auto& e) { e.sex = kSexPrompt; }, Field::Sex, sex);
    without("age", [](auto& e) { e.age.clear(); }, Field::Age, age);
    without("marital erased", [](auto& e) { e.maritalStatus.clear(); }, Field::MaritalStatus, marital);
    without("marital prompt", [](auto& e) { e.maritalStatus = kMaritalPrompt; }, Field::MaritalStatus, marital);
    without("group erased", [](auto& e) { e.group.clear(); }, Field::Group, group);
    without("group prompt", [](auto& e) { e.group = kGroupPrompt; }, Field::Group, group);
    // The group list once showed the sex prompt; it is no group either.
    without("group showing the sex prompt", [](auto& e) { e.group = kSexPrompt; }, Field::Group, group);
    without("education", [](auto& e) { e.education.clear(); }, Field::Education, education);

    // The first failing check wins.
    without("family name and education", [](auto& e) { e.familyName.clear(); e.education.clear(); },
            Field::FamilyName, familyName);
    without("sex before age", [](auto& e) { e.sex = kSexPrompt; e.age.clear(); }, Field::Sex, sex);
    without("age before marital", [](auto& e) { e.age.clear(); e.maritalStatus.clear(); }, Field::Age, age);
    without("marital before group", [](auto& e) { e.maritalStatus = kMaritalPrompt; e.group = kGroupPrompt; },
            Field::MaritalStatus, marital);

    // Blanks are content everywhere but in the code; texts typed into a list are answers.
    auto passes = [&](const char* row, auto change) {
        RegistrationCheck::Entry e = complete();
        change(e);
        QTest::newRow(row) << e << -1 << QString();
    };
    passes("blank first name", [](auto& e) { e.firstName = QStringLiteral(" "); });
    passes("blank family name", [](auto& e) { e.familyName = QStringLiteral(" "); });
    passes("blank age", [](auto& e) { e.age = QStringLiteral(" "); });
    passes("blank education", [](auto& e) { e.education = QStringLiteral(" "); });
    passes("blank sex", [](auto& e) { e.sex = QStringLiteral(" "); });
    passes("typed group", [](auto& e) { e.group = QStringLiteral("H"); });
    passes("typed marital status", [](auto& e) { e.maritalStatus = QStringLiteral("مطلقه"); });
    passes("prompt with a trailing blank is typed text", [](auto& e) { e.sex = kSexPrompt + QLatin1Char(' '); });
    passes("code with outer blanks", [](auto& e) { e.code = QStringLiteral(" 12 "); });
}

void TestRegistrationCheck::firstMissing()
{
    QFETCH(RegistrationCheck::Entry, entry);
    QFETCH(int, field);
    QFETCH(QString, message);
    const auto missing = RegistrationCheck::firstMissing(entry);
    if (field < 0) {
        QVERIFY2(!missing, qPrintable(missing ? missing->message : QString()));
        return;
    }
    QVERIFY(missing);
    QCOMPARE(int(missing->field), field);
    QCOMPARE(missing->message, message);
}

void TestRegistrationCheck::listTexts()
{
    QCOMPARE(RegistrationCheck::maritalStatusPrompt(), kMaritalPrompt);
    QCOMPARE(RegistrationCheck::sexPrompt(), kSexPrompt);
    QCOMPARE(RegistrationCheck::groupPrompt(), kGroupPrompt);
    QCOMPARE(RegistrationCheck::maritalStatusItems(), QStringList({QStringLiteral("مجرد"), QStringLiteral("متأهل")}));
    QCOMPARE(RegistrationCheck::sexItems(), QStringList({QStringLiteral("مرد"), QStringLiteral("زن")}));
    QCOMPARE(RegistrationCheck::groupItems(), QStringList({"A", "B", "C", "D", "E", "F", "G"}));
    for (const QString& item : RegistrationCheck::maritalStatusItems() + RegistrationCheck::sexItems()
             + RegistrationCheck::groupItems())
        QVERIFY2(!RegistrationCheck::isPrompt(item), qPrintable(item));
}

QTEST_APPLESS_MAIN(TestRegistrationCheck)
#include "TestRegistrationCheck.moc"
