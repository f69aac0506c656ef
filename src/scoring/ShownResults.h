#pragma once

#include "scoring/Scales.h"

#include <QString>

#include <array>

// What the scoring window shows of one examinee at one moment, as the texts of its boxes: the details of the
// examinee panel, the four result boxes of each scale and the clinic's name and address. The chart and the examinee
// report take this one value, so what they show is exactly what the window showed when they were asked.
struct ShownResults {
    struct ScaleTexts {
        QString raw;
        QString percent;
        QString level;
        QString sentence;
    };

    QString code;
    QString firstName;
    QString lastName;
    QString date; // the day of the test, as stored
    QString group;
    QString age;
    QString sex;
    QString maritalStatus;
    QString education;

    // In the fixed order of the scales: Rezayat, Ertebat, HaleT, TahrifeA.
    std::array<ScaleTexts, 4> scales;

    QString clinicName;
    QString clinicAddress;

    ScaleTexts& of(Scale scale) { return scales[static_cast<std::size_t>(scale)]; }
    const ScaleTexts& of(Scale scale) const { return scales[static_cast<std::size_t>(scale)]; }
};
