#pragma once

#include <QString>

struct PairComparison;

// The sentences the comparison window and the comparison report both show, so screen and paper say the same.
namespace ComparisonTexts {

// "پيش از مشاوره" / "پس از مشاوره": which administration a follow-up's code is.
QString beforeCaption();
QString afterCaption();

// The heading of an examinee's column: the code, under "پيش از مشاوره" or "پس از مشاوره" for a follow-up.
QString examineeHeading(const PairComparison& comparison, bool second);

// A follow-up's move from one level word to the other, as it reads: "پايين ← متوسط"; the word alone when unchanged.
QString levelChange(const QString& from, const QString& to);

// What the differences are and what their sign means: second minus first for a couple; for a follow-up, after minus
// before, + toward the healthy end on the content scales and toward a more idealised picture on the distortion scale.
QString signNote(const PairComparison& comparison);

// The caution beside a high idealised-distortion score, naming whose score it is; empty when neither is high.
QString idealisedCaution(const PairComparison& comparison);

// The status of a distortion statement in a couple's item table, which has no agreement of its own.
QString idealisedOnlyStatus();

// The heading of a follow-up's distortion statements, listed apart from the content scales' changed statements.
QString idealisedItemsHeading();

// The legend's word for the chart: each scale's colour, full for the first code and paler for the second.
QString legendCaption(const PairComparison& comparison, bool second);

// The line that heads every page of the comparison report: both codes, the kind and the date.
QString pageHeader(const PairComparison& comparison, const QString& date);

// "صفحه ۲ از ۲".
QString pageNumber(int page, int pages);

} // namespace ComparisonTexts
