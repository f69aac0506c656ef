#pragma once

#include <QString>

// Every text the program says to the operator, kept once. The texts are the program's own vocabulary and are
// compared by the tests exactly as written here, blanks included.
namespace Msg {

// Notices
inline const QString NoticeTitle = QStringLiteral("پيام");
inline const QString EnterExamineeNumber = QStringLiteral("شما بايد شماره آزمودني مورد نظر را وارد كنيد");
inline const QString NoSuchExaminee = QStringLiteral("فردي با اين مشخصات وجود ندارد");
inline const QString EnterCode = QStringLiteral("کد آزمودني را وارد کنيد");
inline const QString EnterFirstName = QStringLiteral("نام آزمودني را وارد کنيد");
inline const QString EnterFamilyName = QStringLiteral("نام خانوادگي آزمودني را وارد کنيد");
inline const QString ChooseSex = QStringLiteral("جنسيت آزمودني را مشخص کنيد");
inline const QString EnterAge = QStringLiteral("سن آزمودني را وارد کنيد");
inline const QString ChooseMaritalStatus = QStringLiteral("وضعيت تاهل آزمودني را مشخص کنيد");
inline const QString ChooseGroup = QStringLiteral("گروه را مشخص کنيد");
inline const QString EnterEducation = QStringLiteral("ميزان تحصيلات آزمودني را وارد کنيد");
inline const QString CodeTaken = QStringLiteral("فردديگري با اين کد ثبت شده");
inline const QString DigitsOnly = QStringLiteral("شما بايد عدد وارد كنيد");
inline const QString Start = QStringLiteral("شروع");
inline const QString End = QStringLiteral("پايان");
inline const QString ScoreBeforeChart = QStringLiteral("ابتدا روي انتخاب آزمودني کليک کرده سپس کد آزمودني را وارد کنيد بعد روي مشاهده نمودار کليک کنيد ");
inline const QString ScoreBeforePrint = QStringLiteral("ابتدا روي انتخاب آزمودني کليک کرده سپس کد آزمودني را وارد کنيد بعد روي پرينت کليک کنيد ");
inline const QString ChooseLookupGroup = QStringLiteral("شما بايد گروه آزمودني مورد نظر را انتخاب كنيد");
inline const QString NoExamineeWithCode = QStringLiteral("فردي با اين کد وجود ندارد");
inline const QString DeletionDone = QStringLiteral("حذف با موفقيت انجام گرفت");

// Standard boxes
inline const QString AlreadyRunning = QStringLiteral("برنامه در حال اجراست");
inline const QString AlreadyRunningTitle = QStringLiteral("Warnnig");
inline const QString UnansweredItems = QStringLiteral("شما به سوالات زير پاسخ نداده ايد و تا به تمام سوالات پاسخ ندهيد نمي توانيد نمره گذاري را انجام دهيد");
inline const QString ErrorTitlePersian = QStringLiteral("خطا");
inline const QString ConfirmDeletion = QStringLiteral("آيا براي حذف کردن مطمئن هستيد؟");
// Heads the question above, naming whom it is about: the name (or "آزمودني" when none is registered) and the code.
inline const QString ConfirmDeletionOf = QStringLiteral("حذف %1 با کد %2؟");
inline const QString ExamineeWithoutName = QStringLiteral("آزمودني");
// "ماشين حساب" when no calculator the program knows is installed; %1 lists them.
inline const QString NoCalculator = QStringLiteral(u"ماشين حسابي روي اين رايانه پيدا نشد. يکي از اين برنامه\u200cها را نصب کنيد: %1");
inline const QString ErrorTitle = QStringLiteral("Error");
inline const QString ChooseBackupTarget = QStringLiteral("لطفا مسير تهيه نسخه پشتيبان را وارد کنيد");
inline const QString BackupTargetExists = QStringLiteral("فايل پشتيباني با اين نام قبلا ايجاد شده آيا ميخواهيد اين فايل را جايگزين کنيد؟");
inline const QString BackupDone = QStringLiteral("نسخه پشتيبان تهيه گرديد");
// After an encrypted backup, the line that follows "BackupDone": %1 the file written.
inline const QString EncryptedBackupWhere = QStringLiteral("اين نسخه پشتيبان رمزگذاري شده است و در اين فايل ذخيره شد: %1\nبدون گذرواژه آن باز نمي شود.");
inline const QString BackupRefused = QStringLiteral("عدم موفقيت در تهيه نسخه پشتيبان");
inline const QString ChooseRestoreSource = QStringLiteral("لطفا مسير فايل مربوطه را وارد کنيد");
inline const QString ConfirmRestore = QStringLiteral("آيا ميخواهيد اطلاعات را بازيابي کنيد؟");
inline const QString RestoreRefused = QStringLiteral("عدم موفقيت در بازيابي اطلاعات ");
inline const QString RestoreDone = QStringLiteral("بازيابي اطلاعات انجام شد");
inline const QString RestoreFailedSuffix = QStringLiteral("تمامي فرم ها را ببندبد به جز فرم اصلي و اين پنجره");
inline const QString CopyFailed = QStringLiteral("اشکال در ايجاد نسخه پشتيباني");
inline const QString RestoreCopyFailed = QStringLiteral("اشکال در بازيابي اطلاعات: فايل خوانده يا نوشته نشد؛ بازيابي انجام نشد.");

// Input prompts
inline const QString RunTestPrompt = QStringLiteral(" Plese Insert Code ");
inline const QString RunTestTitle = QStringLiteral("Enter Code ");
inline const QString ScoringPrompt = QStringLiteral(" Enter Number ");
inline const QString ScoringTitle = QStringLiteral(" کد آزمودني را وارد کنيد");

// Texts of our own, for failures the program reports beyond the ones above
inline const QString ApplicationTitle = QStringLiteral("Tovrin35");
// At start, when the data file is refused; %1 is the file, %2 its journal. The program then ends without touching
// either.
inline const QString DatabaseNotOurs = QStringLiteral("فايل اطلاعات برنامه (%1) فايل اين برنامه نيست. برنامه بسته مي شود و به اين فايل دست زده نمي شود.");
inline const QString DatabaseDamaged = QStringLiteral("فايل اطلاعات برنامه (%1) آسيب ديده است. برنامه بسته مي شود و به اين فايل دست زده نمي شود. آخرين نسخه پشتيبان را به جاي اين فايل کپي کنيد و برنامه را دوباره اجرا کنيد.");
inline const QString DatabaseHeldAtStart = QStringLiteral("فايل اطلاعات برنامه (%1) در دست برنامه ديگري است و باز نشد. آن برنامه را ببنديد و برنامه را دوباره اجرا کنيد.");
inline const QString DatabaseNoAccess = QStringLiteral("اجازه خواندن فايل اطلاعات برنامه (%1) به اين برنامه داده نشده است. برنامه بسته مي شود.");
inline const QString DatabaseNotWritable = QStringLiteral("برنامه اجازه نوشتن در فايل اطلاعات (%1) يا پوشه آن را ندارد و اطلاعات تازه ذخيره نمي شود. برنامه بسته مي شود؛ اين اجازه را بدهيد و برنامه را دوباره اجرا کنيد.");
// A data folder chosen for the run that is not fit to hold the clients' answers (app/DataFolderCheck): %1 the data
// folder, %2 the folder, file or link at fault.
inline const QString DataFolderOpenToOthers = QStringLiteral("پوشه اطلاعات (%1) امن نيست: کاربران ديگر اين رايانه مي توانند در %2 بنويسند و فايل اطلاعات را با فايلي از خود عوض کنند. برنامه بسته مي شود؛ پوشه ديگري انتخاب کنيد يا اجازه نوشتن را از ديگران بگيريد (chmod go-w).");
inline const QString DataFolderOwnedByOther = QStringLiteral("پوشه اطلاعات (%1) امن نيست: %2 مال کاربر ديگري از اين رايانه است و او مي تواند فايل اطلاعات را بخواند يا عوض کند. برنامه بسته مي شود؛ پوشه اي انتخاب کنيد که مال خود شما باشد.");
inline const QString DataFolderNotAFolder = QStringLiteral("پوشه اطلاعات (%1) ساخته نمي شود: %2 يک فايل است، نه پوشه. برنامه بسته مي شود؛ مسير پوشه را درست کنيد.");
inline const QString DataFolderSystem = QStringLiteral("پوشه اطلاعات (%1) در بخشي از سيستم است که جاي نگه داشتن فايل نيست (%2). برنامه بسته مي شود؛ پوشه ديگري انتخاب کنيد.");
inline const QString DataFolderNameTooLong = QStringLiteral("مسير پوشه اطلاعات بلندتر از آن است که سيستم مي پذيرد (نام يک پوشه يا کل مسير): %1. برنامه بسته مي شود؛ مسير کوتاه تري انتخاب کنيد.");
inline const QString DataFolderUnreadable = QStringLiteral("پوشه اطلاعات (%1) بررسي نشد: %2 ديده نمي شود. برنامه بسته مي شود.");
inline const QString DatabaseJournalWithoutFile = QStringLiteral("فايل اطلاعات برنامه (%1) پيدا نشد، اما فايل %2 که بخشي از آن است کنار جاي آن مانده است. برنامه فايل تازه اي نمي سازد و به اين دو فايل دست نمي زند. فايل اطلاعات را به جاي خود برگردانيد و برنامه را دوباره اجرا کنيد.");
inline const QString DatabaseCannotOpen = QStringLiteral("فايل اطلاعات برنامه باز نشد. برنامه بسته مي شود.");
inline const QString SaveFailed = QStringLiteral("ذخيره اطلاعات انجام نشد.");
// Saving a test run whose examinee was deleted meanwhile (from another window or another computer).
inline const QString ExamineeGoneOnSave = QStringLiteral("آزمودني با کد %1 در اين فاصله حذف شده است و چيزي ذخيره نشد.");
inline const QString ExamineeDetailsMissing = QStringLiteral("مشخصات اين آزمودني ثبت نشده است؛ نمره گذاري انجام نشد.");
inline const QString DamagedAnswers = QStringLiteral("پاسخ ذخيره شده سوالات زير معتبر نيست و نمره گذاري انجام نشد:");
inline const QString ScoresNotStored = QStringLiteral("نمره ها ذخيره نشد و نتيجه نمايش داده نمي شود.");
inline const QString ExportDone = QStringLiteral("فايل خروجي با موفقيت ذخيره شد");
inline const QString ExportFailed = QStringLiteral("فايل خروجي ذخيره نشد.");
inline const QString SavePdfTitle = QStringLiteral("ذخيره به صورت PDF");
inline const QString PdfNotSaved = QStringLiteral("فايل PDF ذخيره نشد.");
inline const QString PrintFailed = QStringLiteral("پرينت انجام نشد.");
inline const QString ListNotComplete = QStringLiteral("فهرست آزمودني ها کامل خوانده نشد و گزارش ممکن است ناقص باشد.");
inline const QString AnswerNotStored = QStringLiteral("پاسخ شما ذخيره نشد و گزينه انتخاب شده برداشته شد. لطفا به مشاور خبر دهيد.");
inline const QString DatabaseBusy = QStringLiteral("فايل اطلاعات برنامه در اين لحظه در دست برنامه ديگري است. چند لحظه صبر کنيد و دوباره امتحان کنيد.");
inline const QString DatabaseFailing = QStringLiteral("خواندن يا نوشتن فايل اطلاعات برنامه انجام نشد.");
// The skin of the stored or chosen theme could not be read; the first theme is stored in its place.
inline const QString SkinUnreadable = QStringLiteral("فايل پوسته اين تم خوانده نشد؛ تم اول به کار مي رود.");

// The comparison of two examinees; %1 is the code as the operator typed it.
inline const QString CompareEnterBothCodes = QStringLiteral("کد هر دو آزمودني را وارد کنيد.");
inline const QString CompareSameCode = QStringLiteral(u"هر دو کد به يک آزمودني مي\u200cرسد؛ کد دو آزمودني متفاوت را وارد کنيد.");
inline const QString CompareNotFound = QStringLiteral("آزمودني با کد %1 ثبت نشده است؛ مقايسه انجام نشد.");
inline const QString CompareNoAnswers = QStringLiteral("آزمودني با کد %1 هنوز به هيچ سوالي پاسخ نداده است؛ مقايسه انجام نشد.");
inline const QString CompareUnfinished = QStringLiteral(u"پاسخنامه آزمودني با کد %1 کامل نيست؛ تا به همه سوالات پاسخ داده نشود مقايسه انجام نمي\u200cشود.");
inline const QString CompareDamaged = QStringLiteral(u"پاسخ\u200cهاي ذخيره شده آزمودني با کد %1 معتبر نيست؛ مقايسه انجام نشد.");
inline const QString CompareDetailsMissing = QStringLiteral("مشخصات آزمودني با کد %1 ثبت نشده است؛ مقايسه انجام نشد.");
inline const QString CompareBeforePrint = QStringLiteral("ابتدا کد دو آزمودني را وارد کرده و روي مقايسه کليک کنيد، سپس پرينت بگيريد.");
inline const QString ComparePairNotStored = QStringLiteral("مقايسه نمايش داده شد، اما اين دو کد براي دفعه بعد به خاطر سپرده نشد.");

// Captions of the standard buttons of every box and prompt
inline const QString ButtonOk = QStringLiteral("تأييد");
inline const QString ButtonCancel = QStringLiteral("انصراف");
inline const QString ButtonYes = QStringLiteral("بله");
inline const QString ButtonNo = QStringLiteral("خير");
inline const QString BackupOntoDatabase = QStringLiteral("نسخه پشتيبان نمي تواند روي خود فايل اطلاعات برنامه نوشته شود؛ مسير ديگري انتخاب کنيد.");
inline const QString RestoreFromDatabase = QStringLiteral("فايل انتخاب شده خود فايل اطلاعات برنامه است و بازيابي از آن ممکن نيست.");
inline const QString RestoreNotOurs = QStringLiteral("فايل انتخاب شده نسخه پشتيبان اين برنامه نيست؛ بازيابي انجام نشد و اطلاعات برنامه دست نخورده ماند.");
inline const QString RestoreDamaged = QStringLiteral("فايل انتخاب شده آسيب ديده يا ناقص است؛ بازيابي انجام نشد و اطلاعات برنامه دست نخورده ماند.");
inline const QString RestoreSourceMissing = QStringLiteral("فايلي که براي بازيابي انتخاب شده پيدا نشد؛ مسير آن را بررسي کنيد. اطلاعات برنامه دست نخورده ماند.");
inline const QString RestoreSourceNotFile = QStringLiteral("مسيري که براي بازيابي انتخاب شده يک پوشه است، نه فايل پشتيبان؛ خود فايل پشتيبان را انتخاب کنيد.");
inline const QString DiskFull = QStringLiteral("جاي خالي ديسک (يا حافظه فلش) مقصد تمام شده است؛ فايل نوشته نشد. جايي را خالي کنيد يا مقصد ديگري انتخاب کنيد.");
inline const QString RestoreUnreadable = QStringLiteral("فايل انتخاب شده خوانده نشد؛ بازيابي انجام نشد و اطلاعات برنامه دست نخورده ماند.");

// Encrypted backups: the passphrase typed twice for a backup, and a restore from an encrypted backup.
inline const QString PassphraseMismatch = QStringLiteral("گذرواژه و تکرار آن يکسان نيست؛ گذرواژه را در هر دو خانه دوباره وارد کنيد. نسخه پشتيبان تهيه نشد.");
inline const QString PassphraseTooShort = QStringLiteral("گذرواژه بايد دست کم هشت حرف باشد. نسخه پشتيبان تهيه نشد.");
inline const QString EncryptionFailed = QStringLiteral("رمزگذاري نسخه پشتيبان انجام نشد (حافظه کافي نيست)؛ نسخه پشتيبان تهيه نشد.");
inline const QString RestorePassphrasePrompt = QStringLiteral("اين نسخه پشتيبان رمزگذاري شده است. گذرواژه آن را وارد کنيد:");
// The key check cannot tell a wrong passphrase from a changed salt or cost: both are named.
inline const QString RestorePassphraseOrAltered = QStringLiteral("گذرواژه درست نيست، يا فايل پشتيبان پس از تهيه تغيير کرده است؛ بازيابي انجام نشد و اطلاعات برنامه دست نخورده ماند.");
inline const QString RestoreEncryptedAltered = QStringLiteral("نسخه پشتيبان رمزگذاري شده تغيير کرده يا آسيب ديده است؛ بازيابي انجام نشد و اطلاعات برنامه دست نخورده ماند.");
inline const QString RestoreEncryptedCutShort = QStringLiteral("نسخه پشتيبان رمزگذاري شده ناقص است (فايل کامل نوشته يا کپي نشده است)؛ بازيابي انجام نشد و اطلاعات برنامه دست نخورده ماند.");
inline const QString RestoreEncryptedNewer = QStringLiteral("اين نسخه پشتيبان با نسخه جديدتري از برنامه رمزگذاري شده است؛ براي بازيابي آن برنامه را به روز کنيد. اطلاعات برنامه دست نخورده ماند.");
inline const QString RestoreDecryptionFailed = QStringLiteral("باز کردن رمز نسخه پشتيبان انجام نشد (حافظه کافي نيست)؛ بازيابي انجام نشد و اطلاعات برنامه دست نخورده ماند.");

// The program's own help, the main window's home panel and the short confirmations shown on it
inline const QString HelpTitle = QStringLiteral("راهنماي برنامه");
inline const QString HelpSearchCaption = QStringLiteral("جستجو:");
inline const QString HelpSearchHint = QStringLiteral("کلمه اي را که در راهنما مي خواهيد بنويسيد");
inline const QString HelpFindNext = QStringLiteral("مورد بعدي");
inline const QString HelpNothingFound = QStringLiteral("پيدا نشد");
inline const QString HelpFoundCount = QStringLiteral("%1 مورد در اين بخش");
inline const QString HelpSectionsName = QStringLiteral("بخش هاي راهنما");
inline const QString HomeToday = QStringLiteral("امروز: %1");
inline const QString HomeRegistered = QStringLiteral("آزمودني هاي ثبت شده: %1");
inline const QString HomeAnswered = QStringLiteral("پاسخنامه هاي کامل: %1");
inline const QString HomeRecentTitle = QStringLiteral("آخرين ثبت نام ها");
inline const QString HomeRecentCode = QStringLiteral("کد");
inline const QString HomeRecentName = QStringLiteral("نام و نام خانوادگي");
inline const QString HomeRecentDate = QStringLiteral("تاريخ ثبت نام");
inline const QString HomeNoClinicName = QStringLiteral("نام و آدرس کلينيک را از «تنظيمات» تعريف کنيد.");
inline const QString HomeNoExaminees = QStringLiteral("هنوز آزمودني اي ثبت نشده است.");
inline const QString HomeReadFailed = QStringLiteral("آمار آزمودني ها خوانده نشد.");
inline const QString HomeHelpLink = QStringLiteral("راهنماي برنامه");
// %1 is the examinee's code.
inline const QString RegistrationSaved = QStringLiteral("آزمودني با کد %1 ثبت شد.");
inline const QString TestSaved = QStringLiteral("پاسخ هاي آزمودني با کد %1 ذخيره شد.");
// A button that needs an examinee, pressed while none is registered.
inline const QString NoExamineesYet = QStringLiteral("هنوز آزمودني اي ثبت نشده است؛ ابتدا با «ثبت نام آزمودني» يک آزمودني ثبت کنيد.");
// The lookup window's export, pressed while its list is empty.
inline const QString NoExamineeListed = QStringLiteral("هيچ آزمودني در فهرست نيست؛ فايل خروجي ساخته نشد.");

// The clinic's server: why a connection failed (%1 the server, %2 the user or the database), start-up, the database
// panel, backups on the server and moving a clinic's file onto it.
inline const QString ServerRefused = QStringLiteral("سرور کلينيک %1 اتصال را نپذيرفت: پايگاه داده روي آن اجرا نمي شود، يا نشاني يا شماره درگاه (port) درست نيست.");
inline const QString ServerUnknownHost = QStringLiteral("نام سرور کلينيک %1 در شبکه پيدا نشد؛ نام يا نشاني سرور را بررسي کنيد.");
inline const QString ServerNoAnswer = QStringLiteral("سرور کلينيک %1 در 5 ثانيه پاسخي نداد؛ شايد سرور خاموش است يا اين رايانه به شبکه کلينيک وصل نيست.");
inline const QString ServerNoPassword = QStringLiteral("سرور کلينيک %1 براي کاربر %2 گذرواژه مي خواهد و گذرواژه اي داده نشد.");
inline const QString ServerPasswordRefused = QStringLiteral("سرور کلينيک %1 گذرواژه کاربر %2 را نپذيرفت.");
inline const QString ServerUserMissing = QStringLiteral("کاربري با نام %2 روي سرور کلينيک %1 تعريف نشده است.");
inline const QString ServerNotAllowed = QStringLiteral("سرور کلينيک %1 به کاربر %2 اجازه اتصال از اين رايانه را نمي دهد.");
inline const QString ServerDatabaseMissing = QStringLiteral("پايگاه داده اي با نام %2 روي سرور کلينيک %1 وجود ندارد.");
inline const QString ServerOther = QStringLiteral("اتصال به سرور کلينيک %1 برقرار نشد.");
inline const QString ServerNotOurs = QStringLiteral("پايگاه داده سرور کلينيک %1 پايگاه داده اين برنامه نيست (يا برنامه تازه تري آن را ساخته است)؛ به آن دست زده نشد.");
inline const QString ServerPasswordTitle = QStringLiteral("گذرواژه سرور کلينيک");
inline const QString ServerPasswordPrompt = QStringLiteral("گذرواژه کاربر %2 براي سرور کلينيک %1 را وارد کنيد:");
inline const QString ServerPasswordAgain = QStringLiteral("سرور کلينيک %1 گذرواژه کاربر %2 را نپذيرفت. گذرواژه را دوباره وارد کنيد:");
inline const QString ServerStartEnds = QStringLiteral("برنامه بسته مي شود و به هيچ اطلاعاتي دست زده نشد. اين پيام را به مسئول سرور کلينيک نشان دهيد.");
inline const QString DatabasePortWrong = QStringLiteral("شماره درگاه (port) سرور بايد عددي از 1 تا 65535 باشد.");
inline const QString DatabaseNameNeeded = QStringLiteral("نام پايگاه داده سرور کلينيک را وارد کنيد.");
inline const QString ServerConnectionWorks = QStringLiteral("اتصال به سرور کلينيک %1 برقرار شد و پايگاه داده آن براي اين برنامه آماده است.");
inline const QString DatabaseChoiceSaved = QStringLiteral("انتخاب پايگاه داده ذخيره شد و از اجراي بعدي برنامه به کار مي رود.");
inline const QString DatabaseChoiceNotSaved = QStringLiteral("انتخاب پايگاه داده در فايل تنظيمات برنامه (%1) ذخيره نشد.");
inline const QString CopyToServerConfirm = QStringLiteral("آزمودني ها و پاسخ هاي فايل اطلاعات اين رايانه به سرور کلينيک %1 کپي شوند؟ فايل اين رايانه دست نخورده مي ماند.");
inline const QString CopyToServerDone = QStringLiteral("%2 آزمودني از فايل اطلاعات اين رايانه به سرور کلينيک %1 کپي شد.");
inline const QString CopyToServerCodesTaken = QStringLiteral("کد اين آزمودني ها از قبل روي سرور کلينيک %1 ثبت شده است و هيچ آزمودني کپي نشد:");
inline const QString AndMoreCodes = QStringLiteral("و %1 کد ديگر");
// Codes an older data file or backup holds twice, which the server refuses.
inline const QString CopyToServerCodesDoubled = QStringLiteral("در فايل اطلاعات اين رايانه هر يک از اين کدها دو بار ثبت شده است و هيچ آزمودني به سرور کلينيک %1 کپي نشد. در پنجره «نمايش کد آزمودني» يکي از آن دو را حذف کنيد و دوباره کپي کنيد:");
inline const QString ServerRestoreCodesDoubled = QStringLiteral("در اين پشتيبان هر يک از اين کدها دو بار ثبت شده است و سرور کلينيک آن را نمي پذيرد؛ چيزي بازيابي نشد و اطلاعات سرور دست نخورده ماند. پشتيبان را روي يک رايانه بازيابي کنيد، در پنجره «نمايش کد آزمودني» يکي از آن دو را حذف کنيد و سپس با «انتقال به سرور» دوباره کپي کنيد:");
inline const QString CopyToServerNoFile = QStringLiteral("روي اين رايانه فايل اطلاعاتي براي انتقال به سرور نيست.");
inline const QString CopyToServerFailed = QStringLiteral("انتقال به سرور کلينيک %1 انجام نشد و هيچ آزمودني کپي نشد.");
inline const QString ServerBackupFailed = QStringLiteral("نسخه پشتيبان از اطلاعات سرور کلينيک تهيه نشد.");
// What only the clinic's head may do on a server with counsellors' rights, asked by a counsellor.
// Who is working on a clinic's server with rights, in the main window: the login and the standing.
inline const QString WorkingHead = QStringLiteral("کاربر: %1 (مسئول کلينيک)");
inline const QString WorkingCounsellor = QStringLiteral("کاربر: %1 (مشاور)");
inline const QString HeadOnly = QStringLiteral("تنها مسئول کلينيک مي تواند اين کار را انجام دهد.");
inline const QString ServerRestoreFailed = QStringLiteral("بازيابي اطلاعات روي سرور کلينيک انجام نشد و اطلاعات سرور دست نخورده ماند.");
// Sharing an examinee with a colleague, and deleting one a colleague registered, on a server with rights.
inline const QString DeleteOthersExaminee = QStringLiteral("اين آزمودني را همکار ديگري ثبت کرده است؛ تنها مسئول کلينيک مي تواند آن را حذف کند.");
inline const QString ChooseExamineeToShare = QStringLiteral("ابتدا آزمودني مورد نظر را در جدول انتخاب کنيد");
inline const QString ChooseColleague = QStringLiteral("نام همکار را وارد کنيد");
inline const QString NoSuchColleague = QStringLiteral("همکاري با اين نام در کلينيک نيست");
inline const QString ShareDone = QStringLiteral("آزمودني با همکار به اشتراک گذاشته شد");
inline const QString ShareTakenBack = QStringLiteral("اشتراک آزمودني پس گرفته شد");
inline const QString ShareOnlyOwn = QStringLiteral("تنها آزمودني هاي خودتان را مي توانيد به اشتراک بگذاريد يا اشتراک آن را پس بگيريد.");
inline const QString NotSharedWithColleague = QStringLiteral("اين آزمودني با اين همکار به اشتراک گذاشته نشده است");

// The activity window: the audit trail's lines, narrowed and exported.
inline const QString AuditTitle = QStringLiteral("گزارش فعاليت ها");
inline const QString AuditAll = QStringLiteral("همه");
inline const QString AuditWhen = QStringLiteral("زمان");
inline const QString AuditWho = QStringLiteral("کاربر");
inline const QString AuditWhat = QStringLiteral("فعاليت");
inline const QString AuditCode = QStringLiteral("کد آزمودني");
inline const QString AuditDetail = QStringLiteral("توضيحات");
inline const QString AuditFrom = QStringLiteral("از تاريخ");
inline const QString AuditTo = QStringLiteral("تا تاريخ");
inline const QString AuditShow = QStringLiteral("نمايش");
inline const QString AuditExport = QStringLiteral("خروجي اکسل");
inline const QString AuditClose = QStringLiteral("خروج");
// %1 the lines the grid lists now.
inline const QString AuditLineCount = QStringLiteral("%1 مورد");
inline const QString AuditDateWrong = QStringLiteral("تاريخ را به صورت سال/ماه/روز وارد کنيد، مانند 1403/01/15");
inline const QString AuditNothingListed = QStringLiteral("موردي براي خروجي نيست");
inline const QString AuditExportDone = QStringLiteral("خروجي گزارش فعاليت ها ذخيره شد");
inline const QString AuditExportFailed = QStringLiteral("خروجي گزارش فعاليت ها ذخيره نشد");
// What each action of the trail is called in the window; the trail keeps the action's own words.
inline const QString AuditExamineeRegistered = QStringLiteral("ثبت نام آزمودني");
inline const QString AuditExamineeChanged = QStringLiteral("تغيير مشخصات آزمودني");
inline const QString AuditExamineeDeleted = QStringLiteral("حذف آزمودني");
inline const QString AuditAnswersMade = QStringLiteral("ايجاد پاسخنامه");
inline const QString AuditAnswersChanged = QStringLiteral("ثبت پاسخ");
inline const QString AuditAnswersDeleted = QStringLiteral("حذف پاسخنامه");
inline const QString AuditPairRemembered = QStringLiteral("ثبت زوج مقايسه");
inline const QString AuditPairChanged = QStringLiteral("تغيير زوج مقايسه");
inline const QString AuditPairForgotten = QStringLiteral("حذف زوج مقايسه");
inline const QString AuditInvitationMade = QStringLiteral("ساخت دعوت");
inline const QString AuditInvitationChanged = QStringLiteral("تغيير وضعيت دعوت");
inline const QString AuditInvitationDeleted = QStringLiteral("حذف دعوت");
inline const QString AuditShared = QStringLiteral("اشتراک با همکار");
inline const QString AuditShareTakenBack = QStringLiteral("پس گرفتن اشتراک");
inline const QString AuditCsvExport = QStringLiteral("خروجي اکسل آزمودني ها");
inline const QString AuditReportPrinted = QStringLiteral("پرينت گزارش");
inline const QString AuditReportSaved = QStringLiteral("ذخيره گزارش به صورت PDF");
inline const QString AuditComparison = QStringLiteral("مقايسه دو آزمودني");
inline const QString AuditScoringViewed = QStringLiteral("مشاهده نمره گذاري");
inline const QString AuditBackup = QStringLiteral("تهيه نسخه پشتيبان");
inline const QString AuditRestore = QStringLiteral("بازيابي اطلاعات");
inline const QString AuditTrailExport = QStringLiteral("خروجي گزارش فعاليت ها");

// Answer codes of the standard box
constexpr int Ok = 1;
constexpr int Yes = 6;
constexpr int No = 7;

// Standard-box styles: buttons, icon and reading order
namespace Style {
constexpr int Ok = 0;
constexpr int YesNo = 4;
// With YesNo: "خير" is the default button, for a question whose "بله" cannot be undone.
constexpr int DefaultSecond = 0x100;
constexpr int Exclamation = 0x30;
constexpr int Information = 0x40;
constexpr int StopRtl = 0x100010;
constexpr int ExclamationRtl = 0x100030;
constexpr int InformationRtl = 0x100040;
constexpr int ServiceNotification = 0x200000;
constexpr int RightToLeftReading = 0x100000;
} // namespace Style

// Answering on a phone
inline const QString PhoneAnswering = QStringLiteral("پاسخگويي با تلفن همراه");
inline const QString PhoneButton = QStringLiteral("تلفن همراه");
inline const QString PhoneListenCaption = QStringLiteral("نشاني و درگاه:");
inline const QString PhoneLinkBaseCaption = QStringLiteral("آغاز پيوندها:");
inline const QString PhonePlainHttp = QStringLiteral("HTTP بي رمزگذاري بيرون از اين رايانه");
inline const QString PhonePlainHttpWarning = QStringLiteral(
    "هشدار: پيوندها و پاسخ‌ها بي رمزگذاري از شبکه مي‌گذرند. فقط پشت پراکسي با TLS يا در شبکه خود کلينيک.");
inline const QString PhoneListenWrong = QStringLiteral("نشاني و درگاه بايد مانند 127.0.0.1:8035 باشد");
inline const QString PhonePlainHttpNeeded
    = QStringLiteral("براي نشاني‌اي بيرون از اين رايانه، HTTP بي رمزگذاري را آگاهانه بپذيريد");
inline const QString PhoneSettingsNotSaved = QStringLiteral("تنظيمات پاسخگويي با تلفن همراه ذخيره نشد");
// Inviting an examinee to answer on a phone
inline const QString InviteTitle = QStringLiteral("دعوت به پاسخگويي");
inline const QString InviteLostSlip = QStringLiteral(
    "پيوند فقط همين جا ديده مي‌شود و پس از بستن اين پنجره ديگر نمايش داده نمي‌شود. اگر برگه دعوت گم شد، «لغو دعوت» را بزنيد و دعوتي تازه بسازيد.");
inline const QString InviteEnterPartner = QStringLiteral("براي دعوت زوج، کد همسر را هم وارد کنيد");
inline const QString InviteOpenUntil = QStringLiteral("اين پيوند تا %1 باز است");
inline const QString InviteConfirmRevoke
    = QStringLiteral("دعوت لغو شود؟ پس از لغو، با اين پيوند نمي‌توان پاسخ داد.");
inline const QString InviteRevoked = QStringLiteral("دعوت لغو شد");
inline const QString HomeCoupleFinished = QStringLiteral("هر دو همسر پاسخ دادند: %1 و %2");
inline const QString HomeCompareCouple = QStringLiteral("مقايسه دو آزمودني");
inline const QString HomeInvitations = QStringLiteral("دعوت‌هاي باز: %1 — پاسخ کامل امروز: %2");
inline const QString PhoneServiceNotStarted = QStringLiteral("پاسخگويي با تلفن همراه آغاز نشد");

} // namespace Msg
