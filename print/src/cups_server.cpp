#include "cups_server.h"

#include <cups/cups.h>

#include <cstring>
#include <string>

namespace print {

namespace {

http_t* asHttp(void* p) { return static_cast<http_t*>(p); }

// The requests are about the whole server, not one queue.
constexpr const char* kServerUri = "ipp://localhost/";

std::string queueName(const char* printerUri)
{
    std::string uri = printerUri ? printerUri : "";
    const auto slash = uri.rfind('/');
    return slash == std::string::npos ? uri : uri.substr(slash + 1);
}

int integerOr(ipp_attribute_t* attr, int fallback)
{
    const ipp_tag_t tag = ippGetValueTag(attr);
    return tag == IPP_TAG_INTEGER || tag == IPP_TAG_ENUM ? ippGetInteger(attr, 0) : fallback;
}

bool failed(ipp_t* response)
{
    return response == nullptr || ippGetStatusCode(response) > IPP_STATUS_OK_EVENTS_COMPLETE;
}

} // namespace

CupsServer::CupsServer(PrintServerAddress address) : address_(std::move(address)) {}

CupsServer::~CupsServer() { disconnect(); }

PrintServerAddress CupsServer::localDefault()
{
    const char* host = cupsServer();
    return {host ? host : "localhost", ippPort(), true};
}

bool CupsServer::connect(std::chrono::milliseconds timeout)
{
    disconnect();
    http_ = httpConnect2(address_.host.c_str(), address_.port, nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED, 1,
                         static_cast<int>(timeout.count()), nullptr);
    if (http_ != nullptr)
        httpSetTimeout(asHttp(http_), 5.0, nullptr, nullptr);
    return http_ != nullptr;
}

void CupsServer::disconnect()
{
    if (http_ != nullptr)
        httpClose(asHttp(http_));
    http_ = nullptr;
    subscription_ = 0;
}

std::optional<std::vector<CupsJob>> CupsServer::finishedJobs()
{
    if (http_ == nullptr)
        return std::nullopt;
    static const char* const wanted[] = {
        "job-id",    "job-name", "job-originating-host-name", "job-printer-uri",           "time-at-creation",
        "job-state", "copies",   "job-impressions-completed", "job-media-sheets-completed"};
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, kServerUri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "completed");
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(std::size(wanted)), nullptr, wanted);
    ipp_t* response = cupsDoRequest(asHttp(http_), request, "/");
    if (failed(response)) {
        ippDelete(response);
        disconnect();
        return std::nullopt;
    }
    std::vector<CupsJob> jobs;
    CupsJob job;
    auto flush = [&] {
        if (job.id > 0)
            jobs.push_back(job);
        job = CupsJob{};
    };
    for (ipp_attribute_t* attr = ippFirstAttribute(response); attr != nullptr; attr = ippNextAttribute(response)) {
        const char* name = ippGetName(attr);
        if (name == nullptr) { // the separator between two jobs
            flush();
            continue;
        }
        if (ippGetGroupTag(attr) != IPP_TAG_JOB)
            continue;
        if (!std::strcmp(name, "job-id"))
            job.id = integerOr(attr, 0);
        else if (!std::strcmp(name, "job-name"))
            job.document = ippGetString(attr, 0, nullptr) ? ippGetString(attr, 0, nullptr) : "";
        else if (!std::strcmp(name, "job-originating-host-name"))
            job.machine = ippGetString(attr, 0, nullptr) ? ippGetString(attr, 0, nullptr) : "";
        else if (!std::strcmp(name, "job-printer-uri"))
            job.printer = queueName(ippGetString(attr, 0, nullptr));
        else if (!std::strcmp(name, "time-at-creation"))
            job.created = integerOr(attr, 0);
        else if (!std::strcmp(name, "job-state"))
            job.state = static_cast<JobState>(integerOr(attr, 3));
        else if (!std::strcmp(name, "copies"))
            job.copies = integerOr(attr, 1);
        else if (!std::strcmp(name, "job-impressions-completed"))
            job.impressionsCompleted = integerOr(attr, 0);
        else if (!std::strcmp(name, "job-media-sheets-completed"))
            job.sheetsCompleted = integerOr(attr, 0);
    }
    flush();
    ippDelete(response);
    return jobs;
}

bool CupsServer::subscribe()
{
    if (http_ == nullptr)
        return false;
    ipp_t* request = ippNewRequest(IPP_OP_CREATE_PRINTER_SUBSCRIPTIONS);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, kServerUri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_SUBSCRIPTION, IPP_TAG_KEYWORD, "notify-events", nullptr, "job-completed");
    ippAddString(request, IPP_TAG_SUBSCRIPTION, IPP_TAG_KEYWORD, "notify-pull-method", nullptr, "ippget");
    // A lease, so that a console that vanished leaves no subscription behind
    // for long; one that has lapsed is simply made again.
    ippAddInteger(request, IPP_TAG_SUBSCRIPTION, IPP_TAG_INTEGER, "notify-lease-duration", 3600);
    ipp_t* response = cupsDoRequest(asHttp(http_), request, "/");
    int id = 0;
    if (!failed(response))
        if (ipp_attribute_t* attr = ippFindAttribute(response, "notify-subscription-id", IPP_TAG_INTEGER))
            id = ippGetInteger(attr, 0);
    ippDelete(response);
    subscription_ = id;
    nextSequence_ = 1;
    return id > 0;
}

std::optional<int> CupsServer::pollNotifications()
{
    if (http_ == nullptr || subscription_ <= 0)
        return std::nullopt;
    ipp_t* request = ippNewRequest(IPP_OP_GET_NOTIFICATIONS);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, kServerUri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "notify-subscription-ids", subscription_);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "notify-sequence-numbers", nextSequence_);
    ipp_t* response = cupsDoRequest(asHttp(http_), request, "/");
    if (failed(response)) {
        const bool connectionLost = response == nullptr;
        ippDelete(response);
        subscription_ = 0;
        if (connectionLost)
            disconnect();
        return std::nullopt;
    }
    int events = 0;
    for (ipp_attribute_t* attr = ippFindAttribute(response, "notify-sequence-number", IPP_TAG_INTEGER); attr != nullptr;
         attr = ippFindNextAttribute(response, "notify-sequence-number", IPP_TAG_INTEGER)) {
        const int sequence = ippGetInteger(attr, 0);
        if (sequence >= nextSequence_) {
            nextSequence_ = sequence + 1;
            ++events;
        }
    }
    ippDelete(response);
    return events;
}

void CupsServer::unsubscribe()
{
    if (http_ == nullptr || subscription_ <= 0)
        return;
    ipp_t* request = ippNewRequest(IPP_OP_CANCEL_SUBSCRIPTION);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, kServerUri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "notify-subscription-id", subscription_);
    ippDelete(cupsDoRequest(asHttp(http_), request, "/"));
    subscription_ = 0;
}

} // namespace print
