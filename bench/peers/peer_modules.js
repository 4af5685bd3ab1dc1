// Loads the pinned peer packages installed by scripts/peers.sh in tests/interop (or in the
// folder named by PEER_NODE_DIR), so that the peer scripts run from any working directory.
'use strict';
const path = require('path');
const { createRequire } = require('module');

const dir = process.env.PEER_NODE_DIR || path.resolve(__dirname, '..', '..', 'tests', 'interop');
const peerRequire = createRequire(path.join(dir, 'package.json'));

function Load(name) {
  try {
    return peerRequire(name);
  } catch (e) {
    process.stderr.write(`peer package "${name}" is not installed in ${dir}; run scripts/peers.sh\n`);
    process.exit(3);
  }
}

module.exports = { Load };
