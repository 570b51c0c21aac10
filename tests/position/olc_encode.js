// Answers "LATITUDE LONGITUDE" lines on standard input with the Open Location Code
// reference's 10-digit code for each.
'use strict';
const {OpenLocationCode} = require('open-location-code');
const olc = new OpenLocationCode();
const lines = require('fs').readFileSync(0, 'utf8').split('\n').filter((line) => line);
for (const line of lines) {
  const [lat, lon] = line.split(' ').map(Number);
  console.log(olc.encode(lat, lon, 10));
}
