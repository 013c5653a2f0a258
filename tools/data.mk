# Rules for the generated world data and the pipeline tests; include from the top-level Makefile:
#     include tools/data.mk
# `make data` rebuilds data/*.json and the preview pictures in tools/ from the open geodata;
# `make data GEODATA=/path/to/geodata` reads another copy.  The program never runs this.

PIPELINE_PYTHON ?= /usr/bin/python3
GEODATA ?= ../shared/geodata

.PHONY: data test-pipeline

data:
	$(PIPELINE_PYTHON) tools/build_data.py --geodata $(GEODATA) --out data --previews tools

test-pipeline:
	$(PIPELINE_PYTHON) -m pytest -q tools/tests
