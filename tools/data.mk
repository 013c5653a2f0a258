# Rules for the generated world data and the pipeline tests; include from the top-level Makefile:
#     include tools/data.mk
# `make data` rebuilds the files of data/ and the preview pictures in tools/ from the open
# geodata and the flag set; `make data GEODATA=/path/to/geodata` reads another copy, and
# `make data-part2` rebuilds only the cities, scenario, flags and artwork from the world.json
# already in data/; `make data-cities` rewrites only cities.json, urban.json and
# city-parameters.json, and `make data-regional` only the regional map donau-wien.json (both need
# no flag set and take seconds).  The program never runs this.

PIPELINE_PYTHON ?= /usr/bin/python3
GEODATA ?= ../shared/geodata
# The flag set: the npm package flag-icons (MIT), fetched once with npm's own client.
FLAG_ICONS_VERSION := 7.5.0
FLAG_ICONS ?= build/flag-icons-$(FLAG_ICONS_VERSION).tgz

.PHONY: data data-part2 data-cities data-regional test-pipeline

data: $(FLAG_ICONS)
	$(PIPELINE_PYTHON) tools/build_data.py --geodata $(GEODATA) --out data --previews tools \
	    --flag-icons $(FLAG_ICONS)

data-part2: $(FLAG_ICONS)
	$(PIPELINE_PYTHON) tools/build_data_part2.py --geodata $(GEODATA) --out data --previews tools \
	    --flag-icons $(FLAG_ICONS)

data-cities:
	$(PIPELINE_PYTHON) tools/build_data_part2.py --geodata $(GEODATA) --out data --cities-only

data-regional:
	$(PIPELINE_PYTHON) tools/build_regional_map.py --geodata $(GEODATA) --out data

$(FLAG_ICONS):
	mkdir -p $(dir $@)
	cd $(dir $@) && npm pack --silent flag-icons@$(FLAG_ICONS_VERSION)

test-pipeline:
	$(PIPELINE_PYTHON) -m pytest -q tools/tests
