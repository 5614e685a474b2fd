// URL decomposition: any text gives a host without a port, a port number and
// a path that is "/" or the URL's own tail starting with "/".
#include "fuzz_support.h"
#include "net/url.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmora;
    using namespace velmora::fuzz;
    FuzzInput in(data, size);
    const Text url = in.NextText();

    const Text host = UrlHost(url);
    FUZZ_CHECK(FindText(host, ":") == -1);
    FUZZ_CHECK(FindText(host, "/") == -1);
    FUZZ_CHECK(Contains(ToLowerCase(url), host));
    (void)UrlPort(url);
    const Text path = UrlPath(url);
    FUZZ_CHECK(!path.empty() && path[0] == '/');
    FUZZ_CHECK(path == "/" || (path.size() <= url.size() &&
                               url.compare(url.size() - path.size(), path.size(), path) == 0));
    return 0;
}
