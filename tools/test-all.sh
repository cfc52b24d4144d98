#!/usr/bin/env bash
# Configures, builds and runs every test suite of the project.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --workflow --preset release
