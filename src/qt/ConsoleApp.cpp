#include "qt/ConsoleApp.h"

#include "app/Console.h"
#include "app/Startup.h"
#include "app/watch/AccessToken.h"
#include "graphics/PlotDesign.h"
#include "link/PortMap.h"
#include "qt/watch/PageAssets.h"

namespace tessarin::qt {

ConsoleApp::ConsoleApp(const QString& settingsFolder, platform::Dialogs* dialogs,
                       platform::Printer* printer, platform::Clock* clock)
    : serial_(link::PortMap::Load(settingsFolder)),
      timer_(1000),
      watchTimer_(1000),
      dataPlot_(graphics::DataPlotDesign()),
      stabilityPlot_(graphics::StabilityPlotDesign()),
      dataTap_(dataPlot_, run::Measurement::kDataCurve),
      stabilityTap_(stabilityPlot_, run::Measurement::kStabilityCurve) {
  const app::Platform platform{serial_,
                               timer_,
                               watchTimer_,
                               dataTap_,
                               stabilityTap_,
                               dialogs ? *dialogs : qtDialogs_,
                               clock ? *clock : clock_,
                               tasks_,
                               application_,
                               printer ? *printer : qtPrinter_};
  console_ = std::make_unique<app::Console>(platform, settingsFolder);
  window_ = std::make_unique<MainWindow>(*console_, dataPlot_.widget(), stabilityPlot_.widget());
  qtDialogs_.setParent(window_.get());
  qtPrinter_.setDialogParent(window_.get());
  app::startUp(*console_);
}

ConsoleApp::~ConsoleApp() {
  // The server and the alerts read the console: they go first.
  server_.reset();
  console_->events().onEvent = nullptr;
}

platform::Result<ConsoleApp::ServedPage> ConsoleApp::serve(const app::ServeAddress& at,
                                                           bool newToken) {
  using Served = platform::Result<ServedPage>;
  QHostAddress address(at.host == "localhost" ? QStringLiteral("127.0.0.1") : at.host);
  if (address.isNull())
    return Served::failure(
        QStringLiteral("'%1' is not an IP address to serve the page at.").arg(at.host));
  ServedPage page;
  // Bound where only this machine can reach it, the page needs no token; anywhere else, even
  // on 0.0.0.0 when reached through 127.0.0.1, every request must show it.
  if (!address.isLoopback()) {
    const platform::Result<QString> token =
        app::watch::loadOrMakeToken(console_->settingsFolder(), newToken);
    if (!token) return Served::failure("The page's token cannot be kept: " + token.reason());
    page.token = token.value();
  }
  auto assets = loadPageAssets();
  if (!assets) return Served::failure(assets.reason());
  service_ = std::make_unique<app::watch::WatchService>(
      *console_, dataTap_, stabilityTap_, std::move(assets.value()), page.token.toLatin1());
  server_ = std::make_unique<WatchServer>(*service_, page.token.toLatin1());
  const platform::Result<quint16> port = server_->listenOn(address, quint16(at.port));
  if (!port) {
    server_.reset();
    return Served::failure(port.reason());
  }
  const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                           ? '[' + address.toString() + ']'
                           : address.toString();
  page.url = QStringLiteral("http://%1:%2/").arg(host).arg(port.value());
  app::Windows& w = console_->windows();
  // Room in the About window for the address and the token's two lines.
  w.aboutWindow.setHeight(w.aboutWindow.height() + (page.token.isEmpty() ? 300 : 800));
  w.servedPageBox.setText(page.token.isEmpty()
                              ? "Served at " + page.url
                              : "Served at " + page.url + "\nToken " + page.token.left(32) +
                                    "\n      " + page.token.mid(32));
  return page;
}

void ConsoleApp::alertWith(const QString& program) {
  eventHook_ = std::make_unique<app::watch::EventHook>(
      commandRunner_, program, [this](const QString& failure) { console_->setStatus(failure); });
  console_->events().onEvent = [this](const app::watch::RunEvent& event) {
    eventHook_->notify(event.name, event.text);
  };
}

}  // namespace tessarin::qt
