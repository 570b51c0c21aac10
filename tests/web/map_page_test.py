#!/usr/bin/env python3
"""The map page in headless Chromium, served from loopback, on URLs that Quarvel's own
FormatMapUrl writes: marker, map type, lite view, coordinates text, bad-input message.
Tiles cannot load (no name resolves), which the page must survive."""
import argparse
import functools
import http.server
import json
import random
import subprocess
import sys
import threading
import urllib.parse

from browser import Browser

# lat, lon, letter ("-" none), lite; the path and query Quarvel must write (None: not
# checked); the coordinates text (None: Quarvel's own for the position as written);
# the map type the page must show.
QUARVEL_URLS = [
    (55.7558, 37.6173, "h", 1, "/quarvel/?lat=55.7558&lon=37.6173&t=h&s=1",
     "N55°45.348 E37°37.038", "hybrid"),
    (-22.9068, -43.1729, "-", 0, "/quarvel/?lat=-22.9068&lon=-43.1729",
     "S22°54.408 W43°10.373", "normal"),
    (48.5, 2.0005, "s", 0, "/quarvel/?lat=48.5&lon=2.0005&t=s", "N48°30. E2°3.e-002",
     "satellite"),
    (0.05, -0.05, "p", 1, "/quarvel/?lat=5.e-002&lon=-5.e-002&t=p&s=1", None, "physical"),
    (55.755812345, 37.6173, "n", 0, "/quarvel/?lat=55.755812&lon=37.6173&t=n", None, "normal"),
    (-89.9999999, 179.99999, "x", 1, "/quarvel/?lat=-90.&lon=179.99999&t=x&s=1", None, "normal"),
    (45.0, -7.5, "&", 0, "/quarvel/?lat=45.&lon=-7.5&t=%26", None, "normal"),
    (60.1699, 24.9384, "H", 0, None, None, "normal"),
]

# Query, what the message must say.
BAD_QUERIES = [
    ("", "gives no latitude (lat=)"),
    ("?lon=37.6173", "gives no latitude (lat=)"),
    ("?lat=55.7558", "gives no longitude (lon=)"),
    ("?lat=&lon=37.6173", "gives no latitude (lat=)"),
    ("?lat=abc&lon=37.6173", 'latitude "abc" is not a number'),
    ("?lat=55.7558&lon=0x10", 'longitude "0x10" is not a number'),
    ("?lat=Infinity&lon=1", 'latitude "Infinity" is not a number'),
    ("?lat=5.e-002x&lon=1", 'latitude "5.e-002x" is not a number'),
    ("?lat=91&lon=0", "latitude 91 is out of range (-90 to 90 degrees)"),
    ("?lat=0&lon=-180.5", "longitude -180.5 is out of range (-180 to 180 degrees)"),
    ("?lat=1e999&lon=0", "latitude 1e999 is out of range"),
]

# Per map type: what its tile addresses hold, and a word of its attribution.
TILES = {
    "normal": (["tile.openstreetmap.org"], "OpenStreetMap"),
    "satellite": (["World_Imagery"], "Esri"),
    "hybrid": (["World_Imagery", "World_Boundaries_and_Places"], "Labels"),
    "physical": (["tile.opentopomap.org"], "OpenTopoMap"),
}

OBSERVE = """(() => {
  const shown = (id) => !document.getElementById(id).hidden;
  const map = document.getElementById('map');
  const view = {
    error: shown('error') ? document.getElementById('error-text').textContent : null,
    map: shown('map'), position: shown('position'),
    leaflet: map.classList.contains('leaflet-container'),
    mapType: map.dataset.mapType || null, lite: map.dataset.lite || null,
    coordinates: document.getElementById('coordinates').textContent,
    osm: document.getElementById('osm-link').href,
    zoomControl: !!map.querySelector('.leaflet-control-zoom'),
    layerChoices: [...map.querySelectorAll('.leaflet-control-layers-base label')]
        .map((label) => label.textContent.trim()),
    attribution: (map.querySelector('.leaflet-control-attribution') || {}).textContent || '',
    tiles: [...map.querySelectorAll('img.leaflet-tile')].map((tile) => tile.src),
  };
  const q = window.quarvel;
  if (q && q.map) {
    const box = map.getBoundingClientRect();
    const icon = q.marker.getElement().getBoundingClientRect();
    const anchor = q.marker.options.icon.options.iconAnchor;
    view.markerPoint = [icon.left - box.left + anchor[0], icon.top - box.top + anchor[1]];
    view.centre = [box.width / 2, box.height / 2];
    view.dragging = q.map.dragging.enabled();
    view.wheelZoom = q.map.scrollWheelZoom.enabled();
  }
  return view;
})()"""


class Checks:
    def __init__(self):
        self.failures = 0

    def expect(self, case, what, actual, expected):
        if actual != expected:
            self.failures += 1
            print(f"FAIL {case}: {what} is {actual!r}, expected {expected!r}")

    def that(self, case, what, ok):
        if not ok:
            self.failures += 1
            print(f"FAIL {case}: {what}")


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(root):
    handler = functools.partial(QuietHandler, directory=root)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def ask_quarvel(probe, requests):
    lines = subprocess.run([probe], input="\n".join(requests) + "\n", capture_output=True,
                           text=True, encoding="utf-8", check=True).stdout.splitlines()
    assert len(lines) == len(requests), lines
    return lines


def check_run_of_page(checks, browser, case, origin):
    """What every page load must show: no script error, nothing but images from elsewhere."""
    for event in browser.events:
        method, params = event["method"], event["params"]
        if method == "Runtime.exceptionThrown":
            checks.that(case, f"script error {params['exceptionDetails']}", False)
        if method == "Network.requestWillBeSent" and params.get("type") != "Image":
            url = params["request"]["url"]
            checks.that(case, f"{params.get('type')} {url} comes from outside the page's host",
                        url.startswith(origin))


def check_marker(checks, browser, case, view, lat, lon):
    expected = browser.evaluate(f"(() => {{ const p = quarvel.map.latLngToContainerPoint("
                                f"[{lat!r}, {lon!r}]); return [p.x, p.y]; }})()")
    for name, point in (("the position's point", expected), ("the map's centre", view["centre"])):
        distance = max(abs(a - b) for a, b in zip(view["markerPoint"], point))
        checks.that(case, f"marker at {view['markerPoint']}, {name} is {point}", distance <= 1)


def check_quarvel_urls(checks, browser, origin, probe, host):
    requests = [f"url {lat!r} {lon!r} {letter} {lite}" for lat, lon, letter, lite, *_ in QUARVEL_URLS]
    prefix = f"http://{host}/quarvel/?"
    for case, answer in zip(QUARVEL_URLS, ask_quarvel(probe, requests)):
        lat, lon, letter, lite, path, coordinates, map_type = case
        url, quarvel_coordinates = answer.split("\t")
        checks.that(url, f"does not start with {prefix}", url.startswith(prefix))
        local = url[len(f"http://{host}"):]
        if path:
            checks.expect(url, "path and query", local, path)
        checks.expect(url, "Quarvel's coordinates text", quarvel_coordinates,
                      coordinates or quarvel_coordinates)
        browser.open(origin + local)
        view = browser.evaluate(OBSERVE)
        check_run_of_page(checks, browser, url, origin)
        checks.expect(url, "error", view["error"], None)
        checks.that(url, "map or position line hidden", view["map"] and view["position"])
        checks.expect(url, "coordinates text", view["coordinates"], quarvel_coordinates)
        checks.expect(url, "data-map-type", view["mapType"], map_type)
        checks.expect(url, "data-lite", view["lite"], str(lite))
        query = urllib.parse.parse_qs(urllib.parse.urlsplit(local).query)
        lat_written, lon_written = float(query["lat"][0]), float(query["lon"][0])
        osm = urllib.parse.parse_qs(urllib.parse.urlsplit(view["osm"]).query)
        checks.expect(url, "OpenStreetMap link",
                      (float(osm["mlat"][0]), float(osm["mlon"][0])), (lat_written, lon_written))
        if "markerPoint" not in view:
            checks.that(url, "no marker", False)
            continue
        check_marker(checks, browser, url, view, lat_written, lon_written)
        tile_words, attribution = TILES[map_type]
        for word in tile_words:
            checks.that(url, f"no {word} tile among {view['tiles'][:2]}...",
                        any(word in tile for tile in view["tiles"]))
        checks.that(url, f"attribution {view['attribution']!r} lacks {attribution}",
                    attribution in view["attribution"])
        interactive = not lite
        checks.expect(url, "zoom control", view["zoomControl"], interactive)
        checks.expect(url, "dragging", view["dragging"], interactive)
        checks.expect(url, "wheel zoom", view["wheelZoom"], interactive)
        checks.expect(url, "layer choices", view["layerChoices"],
                      ["Normal", "Satellite", "Hybrid", "Physical"] if interactive else [])


def check_bad_queries(checks, browser, origin):
    for query, message in BAD_QUERIES:
        case = f"/quarvel/{query}"
        browser.open(origin + case)
        view = browser.evaluate(OBSERVE)
        check_run_of_page(checks, browser, case, origin)
        checks.that(case, f"message {view['error']!r} does not say {message!r}",
                    view["error"] is not None and message in view["error"])
        checks.that(case, "a map or position is shown",
                    not (view["map"] or view["position"] or view["leaflet"]))


def check_coordinates_texts(checks, browser, probe):
    """The page's coordinates text is Quarvel's, digit for digit, also where the double
    arithmetic cuts minutes at ...999 or leaves them below 0.1."""
    rng = random.Random(14)
    pairs = [(0.0, -0.0), (90.0, 180.0), (-90.0, -180.0), (1e-9, -1e-9), (48.0001, 2.0015)]
    pairs += [(round(rng.uniform(-90, 90), rng.randint(3, 8)),
               round(rng.uniform(-180, 180), rng.randint(3, 8))) for _ in range(500)]
    expected = ask_quarvel(probe, [f"coordinates {a!r} {b!r}" for a, b in pairs])
    page = browser.evaluate(f"{json.dumps(pairs)}.map(([a, b]) => quarvel.formatCoordinates(a, b))")
    wrong = [(pair, p, q) for pair, p, q in zip(pairs, page, expected) if p != q]
    for pair, got, want in wrong[:10]:
        checks.that(pair, f"page writes {got!r}, Quarvel {want!r}", False)
    checks.expect("coordinates texts", "count", len(page), len(pairs))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--root", required=True, help="folder that holds quarvel/")
    parser.add_argument("--probe", required=True, help="map_url_probe")
    parser.add_argument("--host", required=True, help="the host Quarvel was built for")
    parser.add_argument("--screenshot", help="only save a picture of the page here")
    args = parser.parse_args()
    server = serve(args.root)
    origin = f"http://127.0.0.1:{server.server_address[1]}"
    browser = Browser()
    try:
        if args.screenshot:
            browser.open(origin + "/quarvel/?lat=55.7558&lon=37.6173&t=n")
            browser.screenshot(args.screenshot)
            return 0
        checks = Checks()
        check_quarvel_urls(checks, browser, origin, args.probe, args.host)
        check_bad_queries(checks, browser, origin)
        check_coordinates_texts(checks, browser, args.probe)
    finally:
        browser.close()
        server.shutdown()
    print(f"{checks.failures} failures")
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
