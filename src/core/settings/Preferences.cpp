#include "Preferences.h"

#include "Settings.h"

#include <QSettings>

namespace {

const QString kSection = QStringLiteral("Settings");
const QString kStartPage = QStringLiteral("Startup");
const QString kShowStartupDialog = QStringLiteral("DoStartup");
const QString kConfirmExit = QStringLiteral("ConfirmExit");
const QString kPopUps = QStringLiteral("PopUp");
const QString kSuppressErrors = QStringLiteral("SupressErrors");
const QString kLastUrl = QStringLiteral("LastURL");
const QString kHomePage = QStringLiteral("Home");
const QString kSearchUrl = QStringLiteral("SearchURL");

const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

QString flagText(bool on)
{
    return on ? kTrue : kFalse;
}

Preferences::StartPage startPageFrom(const QString &text)
{
    if (text == QLatin1String("Continue"))
        return Preferences::StartPage::Continue;
    if (text == QLatin1String("Home"))
        return Preferences::StartPage::Home;
    if (text == QLatin1String("Blank"))
        return Preferences::StartPage::Blank;
    return Preferences::StartPage::Unset;
}

QString startPageText(Preferences::StartPage page)
{
    switch (page) {
    case Preferences::StartPage::Continue: return QStringLiteral("Continue");
    case Preferences::StartPage::Blank: return QStringLiteral("Blank");
    case Preferences::StartPage::Home:
    case Preferences::StartPage::Unset: break;
    }
    return QStringLiteral("Home");
}

bool store(const QString &key, const QString &value, QString *error)
{
    return writeIniValue(kSection, key, value, error);
}

const QLatin1String kDefaultSearchUrl("https://duckduckgo.com/?q=%s");

} // namespace

Preferences Preferences::fromBytes(const QByteArray &bytes)
{
    // The section sits at the top of the file; each value is found by reading
    // only as far as its line, however many favorites follow.
    auto read = [&bytes](const QString &key) { return IniDocument::valueIn(bytes, kSection, key); };
    Preferences p;
    p.startPage = startPageFrom(read(kStartPage));
    const QString show = read(kShowStartupDialog);
    if (show == kTrue || show == kFalse)
        p.showStartupDialog = show == kTrue;
    p.confirmExit = read(kConfirmExit) == kTrue;
    const QString popUps = read(kPopUps);
    p.popUps = popUps == QLatin1String("Accept")   ? PopUps::Accept
               : popUps == QLatin1String("Reject") ? PopUps::Reject
                                                   : PopUps::Unset;
    p.suppressErrors = read(kSuppressErrors) == kTrue;
    p.lastUrl = read(kLastUrl);
    p.homePage = read(kHomePage);
    p.searchUrl = read(kSearchUrl).trimmed();
    if (p.searchUrl.isEmpty())
        p.searchUrl = kDefaultSearchUrl;
    return p;
}

Preferences Preferences::load()
{
    return fromBytes(readIniBytes());
}

Preferences::FirstPage Preferences::firstPage() const
{
    switch (startPage) {
    case StartPage::Blank: return {QStringLiteral("about:blank"), false};
    case StartPage::Home: return {homePage, true};
    case StartPage::Continue: return {lastUrl, true};
    case StartPage::Unset: break;
    }
    return {};
}

bool Preferences::canContinue() const
{
    return !lastUrl.isEmpty() && lastUrl != QLatin1String("about:blank");
}

Preferences::StartPage Preferences::offeredStartPage() const
{
    return startPage == StartPage::Continue || startPage == StartPage::Blank ? startPage : StartPage::Home;
}

bool Preferences::storeStartPage(StartPage page, QString *error)
{
    return store(kStartPage, startPageText(page), error);
}

bool Preferences::storeStartupAnswer(StartPage page, bool askAgain, QString *error)
{
    std::vector<IniWrite> writes{{kSection, kStartPage, startPageText(page)}};
    if (!askAgain)
        writes.push_back({kSection, kShowStartupDialog, kFalse});
    return writeIniValues(writes, error);
}

bool Preferences::storeShowStartupDialog(bool show, QString *error)
{
    return store(kShowStartupDialog, flagText(show), error);
}

bool Preferences::storeConfirmExit(bool confirm, QString *error)
{
    return store(kConfirmExit, flagText(confirm), error);
}

bool Preferences::storePopUps(PopUps popUps, QString *error)
{
    return store(kPopUps, popUps == PopUps::Reject ? QStringLiteral("Reject") : QStringLiteral("Accept"), error);
}

bool Preferences::storeSuppressErrors(bool suppress, QString *error)
{
    return store(kSuppressErrors, flagText(suppress), error);
}

bool Preferences::storeLastUrlAt(const QString &path, const QString &url, QString *error)
{
    return updateIniFileAt(
        path,
        [&url](IniDocument &doc) {
            if (doc.value(kSection, kLastUrl) == url)
                return false;
            doc.setValue(kSection, kLastUrl, url);
            return true;
        },
        error);
}

QString homeButtonAddress()
{
    const QSettings store(QStringLiteral("Kestrel"), QStringLiteral("Kestrel"));
    const QVariant v = store.value(QStringLiteral("Settings/Home"));
    return v.isValid() ? v.toString() : QStringLiteral("qrc:/kestrel/start.html");
}
