#include "examinees/RegistrationCheck.h"

#include "data/ExamineeCode.h"
#include "ui/MessageCatalogue.h"

const QString& RegistrationCheck::maritalStatusPrompt()
{
    static const QString text = QStringLiteral("وضعيت تأهل خود را مشخص کنيد");
    return text;
}

const QString& RegistrationCheck::sexPrompt()
{
    static const QString text = QStringLiteral("جنسيت را انتخاب كنيد");
    return text;
}

const QString& RegistrationCheck::groupPrompt()
{
    static const QString text = QStringLiteral("گروه را مشخص کنيد");
    return text;
}

const QStringList& RegistrationCheck::maritalStatusItems()
{
    static const QStringList items = {QStringLiteral("مجرد"), QStringLiteral("متأهل")};
    return items;
}

const QStringList& RegistrationCheck::sexItems()
{
    static const QStringList items = {QStringLiteral("مرد"), QStringLiteral("زن")};
    return items;
}

const QStringList& RegistrationCheck::groupItems()
{
    static const QStringList items = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                      QStringLiteral("D"), QStringLiteral("E"), QStringLiteral("F"),
                                      QStringLiteral("G")};
    return items;
}

bool RegistrationCheck::isPrompt(const QString& listText)
{
    // Any of the prompts, not only the list's own: the group list used to show the sex prompt, and none of
    // them is an answer to any list.
    return listText == maritalStatusPrompt() || listText == sexPrompt() || listText == groupPrompt();
}

std::optional<RegistrationCheck::Missing> RegistrationCheck::firstMissing(const Entry& entry)
{
    const auto listMissing = [](const QString& text) { return text.isEmpty() || isPrompt(text); };

    if (ExamineeCode::normalised(entry.code).isEmpty())
        return Missing{Field::Code, Msg::EnterCode};
    if (entry.firstName.isEmpty())
        return Missing{Field::FirstName, Msg::EnterFirstName};
    if (entry.familyName.isEmpty())
        return Missing{Field::FamilyName, Msg::EnterFamilyName};
    if (listMissing(entry.sex))
        return Missing{Field::Sex, Msg::ChooseSex};
    if (entry.age.isEmpty())
        return Missing{Field::Age, Msg::EnterAge};
    if (listMissing(entry.maritalStatus))
        return Missing{Field::MaritalStatus, Msg::ChooseMaritalStatus};
    if (listMissing(entry.group))
        return Missing{Field::Group, Msg::ChooseGroup};
    if (entry.education.isEmpty())
        return Missing{Field::Education, Msg::EnterEducation};
    return std::nullopt;
}
