#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The rules of registering an examinee that need no screen: which field is missing first and which list texts are
// prompts rather than answers. The code is stored as ExamineeCode::normalised gives it.
class RegistrationCheck {
public:
    // The required fields, in the order they are checked.
    enum class Field { Code, FirstName, FamilyName, Sex, Age, MaritalStatus, Group, Education };

    // The texts of the form as they stand when the operator saves (the lists' texts already copied).
    struct Entry {
        QString code;
        QString firstName;
        QString familyName;
        QString sex;
        QString age;
        QString maritalStatus;
        QString group;
        QString education;
    };

    struct Missing {
        Field field;
        QString message;
    };

    // What each list shows before the operator chooses; never an answer.
    static const QString& maritalStatusPrompt();
    static const QString& sexPrompt();
    static const QString& groupPrompt();
    static const QStringList& maritalStatusItems();
    static const QStringList& sexItems();
    static const QStringList& groupItems();

    // Whether a list's text is one of the lists' prompts.
    static bool isPrompt(const QString& listText);

    // The first required field that is missing, with its notice; none when the entry may be saved.
    // A code is missing when nothing of it is left once normalised (blanks or invisible marks only); a list when it is empty or still shows a prompt;
    // any other field only when its text is exactly empty (a blank counts as content).
    static std::optional<Missing> firstMissing(const Entry& entry);

    // The age field takes at most this many digits.
    static constexpr int AgeMaxLength = 2;
};
