#pragma once

#include <QString>

// One examinee's row of IDE as the scoring window's examinee panel shows it and the examinee report names it: the
// texts as stored.
struct ExamineeDetails {
    QString code;
    QString firstName;
    QString lastName;
    QString sex;
    QString age;
    QString maritalStatus;
    QString education;
    QString date;
    QString time;
    QString group;
};
