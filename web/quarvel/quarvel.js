// The map page's logic: reads lat, lon, t and s as Quarvel writes them and shows the position.
(function () {
  'use strict';

  // The tile providers: the one place to change them. Each one's attribution is shown on the map.
  const OSM = '&copy; <a href="https://www.openstreetmap.org/copyright">OpenStreetMap</a> contributors';
  const TILES = {
    street: {
      url: 'https://tile.openstreetmap.org/{z}/{x}/{y}.png',
      maxZoom: 19,
      attribution: OSM,
    },
    imagery: {
      url: 'https://server.arcgisonline.com/ArcGIS/rest/services/World_Imagery/MapServer/tile/{z}/{y}/{x}',
      maxZoom: 19,
      attribution: 'Imagery &copy; Esri, Maxar, Earthstar Geographics and the GIS User Community',
    },
    labels: {
      url: 'https://server.arcgisonline.com/ArcGIS/rest/services/Reference/World_Boundaries_and_Places/MapServer/tile/{z}/{y}/{x}',
      maxZoom: 19,
      attribution: 'Labels &copy; Esri',
    },
    topo: {
      url: 'https://{s}.tile.opentopomap.org/{z}/{x}/{y}.png',
      subdomains: 'abc',
      maxZoom: 17,
      attribution: 'Map data: ' + OSM + ', SRTM | Map style: &copy; <a href="https://opentopomap.org">OpenTopoMap</a> (CC-BY-SA)',
    },
  };

  // Map types by Quarvel's letter (lower case, as QuarvelConfig writes them); the first one
  // stands for a missing or unknown letter.
  const MAP_TYPES = [
    {letter: 'n', name: 'normal', label: 'Normal', tiles: ['street']},
    {letter: 's', name: 'satellite', label: 'Satellite', tiles: ['imagery']},
    {letter: 'h', name: 'hybrid', label: 'Hybrid', tiles: ['imagery', 'labels']},
    {letter: 'p', name: 'physical', label: 'Physical', tiles: ['topo']},
  ];
  const ZOOM = 15;

  // Quarvel writes "45.347", "45." or "5.e-002"; plain decimals typed by hand pass too.
  // Number() alone would also take "", " 1", "0x10" and "Infinity".
  const NUMBER = /^[+-]?(\d+\.?\d*|\.\d+)(e[+-]?\d+)?$/i;

  function parseCoordinate(params, key, name, limit) {
    const text = params.get(key);
    if (text === null || text === '') return {error: 'The address gives no ' + name + ' (' + key + '=).'};
    if (!NUMBER.test(text)) return {error: 'The ' + name + ' "' + text + '" is not a number.'};
    const value = Number(text);
    if (!(Math.abs(value) <= limit)) {
      return {error: 'The ' + name + ' ' + text + ' is out of range (-' + limit + ' to ' + limit +
          ' degrees).'};
    }
    return {value};
  }

  // The position and view asked for by a query string, or the reason there is none.
  function parseQuery(search) {
    const params = new URLSearchParams(search);
    const lat = parseCoordinate(params, 'lat', 'latitude', 90);
    if (lat.error) return {error: lat.error};
    const lon = parseCoordinate(params, 'lon', 'longitude', 180);
    if (lon.error) return {error: lon.error};
    const letter = params.get('t');
    const type = MAP_TYPES.find((t) => t.letter === letter) || MAP_TYPES[0];
    return {lat: lat.value, lon: lon.value, type, lite: params.get('s') === '1'};
  }

  // Quarvel's number text: 8 significant digits, rounded half away from zero; fixed from 0.1
  // up to 1e8, else d.ddddddde+XXX; trailing zeros dropped, the point kept ("45.", "5.e-002").
  function formatNumber(value) {
    if (Number.isNaN(value)) return 'nan';
    const sign = value < 0 ? '-' : '';
    if (!Number.isFinite(value)) return sign + 'inf';
    if (value === 0) return '0.';
    const [mantissa, exponentText] = Math.abs(value).toExponential(7).split('e');
    const digits = mantissa.replace('.', '');
    const e = Number(exponentText);
    const fraction = (text) => text.replace(/0+$/, '');
    if (e === -1) return sign + '0.' + fraction(digits);
    if (e >= 0 && e <= 7) return sign + digits.slice(0, e + 1) + '.' + fraction(digits.slice(e + 1));
    return sign + digits[0] + '.' + fraction(digits.slice(1)) + 'e' + (e < 0 ? '-' : '+') +
        String(Math.abs(e)).padStart(3, '0');
  }

  // Whole degrees, degree sign, minutes cut (not rounded) to thousandths by the double
  // arithmetic in exactly Quarvel's order (-43.1729 gives 10.373, not 10.374).
  function formatAngle(degrees) {
    const whole = Math.trunc(degrees);
    const minutes = Math.trunc((degrees - whole) * 60.0 * 1000.0) * 0.001;
    return String(whole) + '\u00B0' + formatNumber(minutes);
  }

  // "N55°45.348 E37°37.038", the text Quarvel copies in coordinates-only mode.
  function formatCoordinates(lat, lon) {
    const north = lat > 0;
    const east = lon > 0;
    return (north ? 'N' : 'S') + formatAngle(north ? lat : -lat) + ' ' +
        (east ? 'E' : 'W') + formatAngle(east ? lon : -lon);
  }

  function showError(text) {
    document.getElementById('error-text').textContent = text;
    document.getElementById('error').hidden = false;
  }

  function mapLayer(type) {
    return L.layerGroup(type.tiles.map((name) => {
      const {url, ...options} = TILES[name];
      return L.tileLayer(url, options);
    }));
  }

  // Lite is a still picture of the place: no controls, no panning or zooming.
  function showMap(view, coordinates) {
    const element = document.getElementById('map');
    element.hidden = false;
    element.dataset.mapType = view.type.name;
    element.dataset.lite = view.lite ? '1' : '0';
    const interactive = !view.lite;
    const map = L.map(element, {
      zoomControl: interactive, dragging: interactive, touchZoom: interactive,
      scrollWheelZoom: interactive, doubleClickZoom: interactive, boxZoom: interactive,
      keyboard: interactive,
    }).setView([view.lat, view.lon], ZOOM);
    const layers = {};
    for (const type of MAP_TYPES) {
      if (interactive || type === view.type) layers[type.label] = mapLayer(type);
    }
    layers[view.type.label].addTo(map);
    if (interactive) L.control.layers(layers, null, {collapsed: false}).addTo(map);
    const marker = L.marker([view.lat, view.lon], {title: coordinates, alt: coordinates,
      keyboard: interactive, interactive}).addTo(map);
    return {map, marker};
  }

  function showPosition(view) {
    const coordinates = formatCoordinates(view.lat, view.lon);
    document.title = coordinates + ' - Quarvel map';
    document.getElementById('coordinates').textContent = coordinates;
    document.getElementById('osm-link').href = 'https://www.openstreetmap.org/?mlat=' + view.lat +
        '&mlon=' + view.lon + '#map=' + ZOOM + '/' + view.lat + '/' + view.lon;
    document.getElementById('position').hidden = false;
    return showMap(view, coordinates);
  }

  // For scripts and tests: the page's coordinates text and, once shown, the map and its marker.
  window.quarvel = {formatCoordinates};
  const view = parseQuery(window.location.search);
  if (view.error) {
    showError(view.error);
  } else if (typeof L === 'undefined') {
    showError('The map library leaflet/leaflet.js is missing beside this page.');
  } else {
    Object.assign(window.quarvel, showPosition(view));
  }
})();
