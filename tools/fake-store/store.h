// The simulated store: routes every request by its path (any host) to the answer
// the program expects, logs it, applies the scenario, and serves the admin calls
// under /__admin/ (not logged).
#pragma once

#include <string>

#include "hostile.h"
#include "http_server.h"
#include "products.h"
#include "request_log.h"
#include "scenario.h"

namespace fakestore {

class Store {
public:
    Store(RequestLog* log, Scenario* scenario, std::string bannerPng);
    HttpResponse Handle(const HttpRequest& req);

private:
    HttpResponse Answer(const HttpRequest& req);
    HttpResponse Admin(const HttpRequest& req);
    HttpResponse Hostile(const HttpRequest& req, const ModeRule& rule);

    RequestLog* log_;
    Scenario* scenario_;
    std::string bannerPng_;
    ProductStore products_;
    HostileModes modes_;
};

}  // namespace fakestore
