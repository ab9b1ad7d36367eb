// Feeds arbitrary bytes to the route data file reader. A decoded route must also survive
// being written and read again.
#include "routedata.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const q47::RouteFileContents c = q47::decodeRouteFile(bytes);
    if (c.status != q47::RouteFileContents::Status::Ok)
        return 0;
    if (c.stops.size() != static_cast<size_t>(c.count))
        std::abort();
    const q47::RouteFileContents again = q47::decodeRouteFile(q47::encodeRouteFile(c.stops));
    if (again.status != q47::RouteFileContents::Status::Ok || again.stops.size() != c.stops.size())
        std::abort();
    for (size_t i = 0; i < c.stops.size(); ++i)
        if (again.stops[i].cols != c.stops[i].cols || again.stops[i].SeiriNo != c.stops[i].SeiriNo)
            std::abort();
    return 0;
}
